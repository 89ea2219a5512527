#pragma once

#include <vector>

#include "colour_image.h"

namespace lumascan {

// The detector's answer: for each pixel of its input, the probability that
// it lies in the shrunk core of a text line.
struct TextProbabilityMap {
    int width = 0;
    int height = 0;
    std::vector<float> probability;  // rows top to bottom
};

struct TextRegion {
    PixelBox core;   // the pixels above the threshold, in map pixels
    PixelBox box;    // the core grown back to the whole line, in map pixels
    float score = 0;  // mean probability inside the core
};

// Text lines of a probability map, as differentiable binarisation finds
// them: 4-connected groups of pixels above 0.3 whose mean probability is at
// least 0.6, grown on every side by 1.5 times their area over their
// perimeter (the detector was trained on cores shrunk by that much).
// Groups under 3 pixels high or wide are noise. Regions of one row whose
// grown boxes touch are one line: the detector splits lines at wide word
// spaces ("[图片] 截图.png"), but a line's words stand closer than its
// height, while the columns of a list (a name and its time) stand far
// apart. In no particular order.
std::vector<TextRegion> findTextRegions(const TextProbabilityMap& map);

}  // namespace lumascan
