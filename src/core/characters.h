#pragma once
// Cuts of text by user-perceived characters (extended grapheme clusters), the
// unit every length limit of the protocol counts in: an emoji with its
// modifiers or a letter with its accents is one character, never split.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillgate {

// The first `count` user-perceived characters of UTF-8 text (all of it when
// shorter). A byte that does not start a valid UTF-8 sequence counts as one
// character of its own.
std::string firstCharacters(std::string_view utf8, size_t count);

// Whether the text is at most `count` user-perceived characters long.
bool withinCharacters(std::string_view utf8, size_t count);

}  // namespace quillgate
