#pragma once
// The request reader checked against simdjson on the same text: both ways of
// reading (in place, members left on the text until asked for, and built
// through) give simdjson's verdict and, when it accepts, its value.

#include <string>
#include <string_view>

namespace quillgate::fuzz {

// Empty when the readers agree on `text`; otherwise what differs.
std::string compareJsonReaders(std::string_view text);

}  // namespace quillgate::fuzz
