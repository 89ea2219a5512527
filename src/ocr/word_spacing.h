#pragma once

#include <span>
#include <vector>

#include "ctc_decoder.h"

namespace lumascan {

// Where a recognised line has ink: for each pixel column of the area that
// was read, whether anything in the line's rows stands out from the
// background.
struct InkColumns {
    std::vector<bool> ink;
    double columnsPerStep = 0;  // image columns per recogniser output step
    int textHeight = 0;         // pixels from the top of the ink to its bottom
};

// Adds the word spaces the recogniser left out: between two glyphs whose
// ink is separated by blank columns at least as wide as a space of the
// font (a quarter of the text height; letters of a word and the characters
// of a Chinese phrase stand closer). Each such blank goes to the two glyphs
// whose centres enclose its middle. Full-width punctuation carries its own
// blank and never gets a space next to it, nor do closing punctuation after
// and opening punctuation before a blank, nor the parts of a number.
std::vector<Glyph> withWordSpaces(const std::vector<Glyph>& glyphs, const InkColumns& columns);

}  // namespace lumascan
