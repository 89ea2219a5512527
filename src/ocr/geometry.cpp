#include "geometry.h"

namespace lumascan {
namespace {

Quad corners(double left, double top, double right, double bottom) {
    return {Point{left, top}, Point{right, top}, Point{right, bottom}, Point{left, bottom}};
}

}  // namespace

Quad quadFromBox(int left, int top, int right, int bottom) { return corners(left, top, right, bottom); }

Quad quadFromNormalized(double minX, double maxX, double minY, double maxY, double width, double height) {
    return corners(minX * width, (1 - maxY) * height, maxX * width, (1 - minY) * height);
}

}  // namespace lumascan
