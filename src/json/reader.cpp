#include "json/reader.h"

#include <simdjson.h>

#include "json/scanner.h"

namespace quillgate::json {

namespace {

std::optional<Value> parsed(std::string_view text, bool deep) {
    if (!simdjson::validate_utf8(text.data(), text.size())) return std::nullopt;
    const std::optional<std::string_view> root = Scanner(text).document();
    if (!root) return std::nullopt;
    // A container is left on the text that was just checked, not scanned again.
    if (!deep && (root->front() == '[' || root->front() == '{')) return Scanner::unread(*root);
    return Scanner(*root).read(deep);
}

}  // namespace

std::optional<Value> Reader::parse(const char* text, size_t length) { return parsed({text, length}, false); }

std::optional<Value> Reader::parse(std::string_view text) { return parsed(text, true); }

}  // namespace quillgate::json
