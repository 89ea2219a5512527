#include "json/reader.h"

#include <simdjson.h>

#include "json/scanner.h"

namespace quillgate::json {

namespace {

std::optional<Value> parsed(std::string_view text, bool deep) {
    if (!simdjson::validate_utf8(text.data(), text.size()) || !Scanner(text).document()) return std::nullopt;
    Scanner scanner(text);
    return scanner.read(deep);
}

}  // namespace

std::optional<Value> Reader::parse(const char* text, size_t length) { return parsed({text, length}, false); }

std::optional<Value> Reader::parse(std::string_view text) { return parsed(text, true); }

}  // namespace quillgate::json
