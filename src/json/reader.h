#pragma once
// JSON text to Value. A request is read in place: its text is checked whole,
// but arrays and objects are built only when an operation reads them, so a
// request of the full line limit needs little more memory than the line.

#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::json {

class Reader {
public:
    // Parses one JSON document of `length` bytes in place: the arrays and
    // objects of the answer refer to the text, which must outlive the answer
    // and its copies. Absent when the text is not JSON (syntax, depth,
    // invalid UTF-8, numbers out of range).
    std::optional<Value> parse(const char* text, size_t length);

    // Parses text into a value built through that keeps nothing of the text.
    std::optional<Value> parse(std::string_view text);

};

}  // namespace quillgate::json
