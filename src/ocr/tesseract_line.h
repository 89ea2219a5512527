#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text_line.h"

namespace lumascan {

// Turns one text line as Tesseract reports it (UTF-8 text with a trailing
// newline, confidence in percent, pixel box with exclusive right and bottom)
// into a result line. Nullopt for a line without any visible text.
std::optional<TextLine> make_text_line(std::string_view raw_text, float confidence_percent,
                                       int left, int top, int right, int bottom);

// Writes "!", "?", ",", ":" and ";" in their full-width forms when the
// character right after them, or the last one before them that is not a
// space, is Chinese: Chinese text punctuates full width, and Tesseract often
// reads those marks as their ASCII look-alikes, with a space before them.
// Latin text keeps its own: "Thanks! 辛苦了", "18:30".
std::string full_width_punctuation(std::string_view text);

// Removes spaces that stand between two Chinese characters (ideographs, CJK
// or full-width punctuation). Written Chinese has none, but Tesseract puts
// one wherever glyphs are far apart, as before a full-width comma. Spaces
// next to Latin text are real and stay.
std::string close_cjk_gaps(std::string_view text);

}  // namespace lumascan
