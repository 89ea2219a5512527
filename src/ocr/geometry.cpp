#include "geometry.h"

namespace lumascan {

Quad quad_from_box(int left, int top, int right, int bottom) {
    const double l = left, t = top, r = right, b = bottom;
    return {Point{l, t}, Point{r, t}, Point{r, b}, Point{l, b}};
}

}  // namespace lumascan
