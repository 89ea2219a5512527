#pragma once

#include "text_line.h"

namespace lumascan {

// Corners of an axis-aligned pixel box whose right and bottom edges are
// exclusive, so a box around the single top-left pixel is (0,0)-(1,1).
Quad quad_from_box(int left, int top, int right, int bottom);

}  // namespace lumascan
