#pragma once

#include <array>
#include <string>

namespace lumascan {

// Image pixel coordinates: origin at the top-left corner, y grows downwards.
// Doubles, because some engines report sub-pixel positions.
struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// Corners in the order top-left, top-right, bottom-right, bottom-left.
using Quad = std::array<Point, 4>;

struct TextLine {
    std::string text;  // UTF-8
    float score = 0;   // confidence, 0..1
    Quad box;
};

}  // namespace lumascan
