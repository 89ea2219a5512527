#include "geometry.h"

namespace lumascan {
namespace {

Quad corners(double left, double top, double right, double bottom) {
    return {Point{left, top}, Point{right, top}, Point{right, bottom}, Point{left, bottom}};
}

}  // namespace

Quad quad_from_box(int left, int top, int right, int bottom) { return corners(left, top, right, bottom); }

Quad quad_from_normalized(double min_x, double max_x, double min_y, double max_y, double width, double height) {
    return corners(min_x * width, (1 - max_y) * height, max_x * width, (1 - min_y) * height);
}

}  // namespace lumascan
