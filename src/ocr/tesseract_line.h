#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text_line.h"

namespace lumascan {

// Turns one text line as Tesseract reports it (UTF-8 text with a trailing
// newline, confidence in percent, pixel box with exclusive right and bottom)
// into a result line. Nullopt for a line without any visible text.
std::optional<TextLine> makeTextLine(std::string_view rawText, float confidencePercent,
                                     int left, int top, int right, int bottom);

// Writes "!", "?", ",", ":" and ";" in their full-width forms when the
// character right after them, or the last one before them that is not a
// space, is Chinese: Chinese text punctuates full width, and Tesseract often
// reads those marks as their ASCII look-alikes, with a space before them.
// Latin text keeps its own: "Thanks! 辛苦了", "18:30".
std::string fullWidthPunctuation(std::string_view text);

// Removes spaces that stand between two Chinese characters (ideographs, CJK
// or full-width punctuation). Written Chinese has none, but Tesseract puts
// one wherever glyphs are far apart, as before a full-width comma. Spaces
// next to Latin text are real and stay.
std::string closeCjkGaps(std::string_view text);

}  // namespace lumascan
