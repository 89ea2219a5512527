#pragma once

#include <vector>

#include "colour_image.h"

namespace lumascan {

struct LineInk {
    PixelBox bounds;
    // For each column of the area, whether any pixel in the rows of
    // `bounds` differs from the background even faintly.
    std::vector<bool> columns;
};

// The bounds of a line's ink. `area` is the detected line with its margin,
// `core` the part the detector was sure of. The background is the median
// colour of the area's edge pixels; ink is whatever differs from it
// clearly. Ink that touches the area's edge belongs to the line only when it
// also reaches into the core, so the corner of a bubble or a neighbouring
// line reaching into the margin does not, while a bracket beside the core
// does.
// The bounds are `area` itself when no ink is found.
LineInk findLineInk(const ColourImage& image, const PixelBox& area, const PixelBox& core);

}  // namespace lumascan
