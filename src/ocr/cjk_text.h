#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace lumascan {

// The code point at text[i] and its length in bytes. A malformed sequence
// yields one byte that is never taken for a Chinese character.
std::pair<char32_t, std::size_t> codePointAt(std::string_view text, std::size_t i);

// Ideographs, CJK symbols and punctuation, full-width forms.
bool isChinese(char32_t c);

// Full-width punctuation and symbols (CJK symbols, full-width forms other
// than letters and digits): marks that stand in a whole character cell.
bool isFullWidthMark(char32_t c);

// The full-width form Chinese text writes for "!", "?", ",", ":" or ";",
// empty for any other character.
std::string_view fullWidthOf(char32_t c);

// Writes "！", "？", "，", "：" and "；" as ASCII when neither the character
// before them nor the one after (spaces aside) is Chinese: Latin text
// punctuates with ASCII, "3,456" and "OK, ETA", and a recogniser trained
// mostly on Chinese reads those marks full width.
std::string halfWidthPunctuation(std::string_view text);

}  // namespace lumascan
