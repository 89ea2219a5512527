#include "core/characters.h"

#include <utf8proc.h>

namespace quillgate {

namespace {

// The length in bytes of the first `count` characters.
size_t prefixBytes(std::string_view utf8, size_t count) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(utf8.data());
    const size_t size = utf8.size();
    size_t offset = 0;
    size_t characters = 0;
    utf8proc_int32_t previous = -1;  // none yet: the first code point always starts a character
    utf8proc_int32_t state = 0;
    while (offset < size) {
        utf8proc_int32_t codepoint = 0;
        utf8proc_ssize_t length =
            utf8proc_iterate(bytes + offset, static_cast<utf8proc_ssize_t>(size - offset), &codepoint);
        bool starts = true;
        if (length < 1) {
            length = 1;
            codepoint = -1;
            state = 0;
        } else if (previous >= 0) {
            starts = utf8proc_grapheme_break_stateful(previous, codepoint, &state);
        }
        if (starts && characters++ == count) break;
        previous = codepoint;
        offset += static_cast<size_t>(length);
    }
    return offset;
}

}  // namespace

std::string firstCharacters(std::string_view utf8, size_t count) {
    return std::string(utf8.substr(0, prefixBytes(utf8, count)));
}

bool withinCharacters(std::string_view utf8, size_t count) { return prefixBytes(utf8, count) == utf8.size(); }

}  // namespace quillgate
