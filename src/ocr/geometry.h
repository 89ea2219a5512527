#pragma once

#include "text_line.h"

namespace lumascan {

// Corners of an axis-aligned pixel box whose right and bottom edges are
// exclusive, so a box around the single top-left pixel is (0,0)-(1,1).
Quad quadFromBox(int left, int top, int right, int bottom);

// Corners of a box given in normalised image coordinates (0 to 1 of the
// width and height, origin at the bottom-left, y upwards), as Vision reports
// it, in pixels of a width x height image with the origin at the top-left.
// The fractions are kept.
Quad quadFromNormalized(double minX, double maxX, double minY, double maxY, double width, double height);

}  // namespace lumascan
