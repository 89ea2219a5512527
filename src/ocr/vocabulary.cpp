#include "vocabulary.h"

#include <cstring>
#include <string_view>

#include <simdjson.h>

// simdjson rather than a hand-written parser: it is strict about the whole
// grammar (trailing garbage, escapes, surrogate pairs, invalid UTF-8), which
// is where small parsers tend to go wrong, and Debian ships it.

namespace lumascan {

std::vector<std::string> parseVocabulary(const char* json) {
    if (json == nullptr) return {};
    simdjson::dom::parser parser;
    simdjson::dom::array array;
    if (parser.parse(json, std::strlen(json)).get_array().get(array) != simdjson::SUCCESS) {
        return {};
    }
    std::vector<std::string> words;
    for (const auto member : array) {
        std::string_view word;
        if (member.get_string().get(word) != simdjson::SUCCESS) return {};
        if (words.size() < maxCustomWords) words.emplace_back(word);
    }
    return words;
}

}  // namespace lumascan
