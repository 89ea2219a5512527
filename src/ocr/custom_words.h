#pragma once

#include <span>
#include <string>
#include <vector>

#include "ctc_decoder.h"

namespace lumascan {

// Marks as certain every glyph of a line that, with its neighbours, spells
// one of the words the caller expects (whole glyphs, case as given): the
// caller knows those names are on screen, so a line that reads one is more
// likely read right.
void trustCustomWords(std::vector<Glyph>& glyphs, std::span<const std::string> words);

// The glyphs as one line of text: outer spaces dropped, inner runs of
// spaces made one, punctuation full width in Chinese text and ASCII in
// Latin text (cjk_text.h, tesseract_line.h).
// Its score is the mean confidence of the glyphs.
struct LineText {
    std::string text;
    float score = 0;
};
LineText joinGlyphs(const std::vector<Glyph>& glyphs);

}  // namespace lumascan
