#include "geometry.h"

#include <gtest/gtest.h>

namespace lumascan {
namespace {

TEST(QuadFromBox, CornersClockwiseFromTopLeft) {
    const Quad quad = quad_from_box(10, 20, 110, 45);
    EXPECT_EQ(quad[0], (Point{10, 20}));
    EXPECT_EQ(quad[1], (Point{110, 20}));
    EXPECT_EQ(quad[2], (Point{110, 45}));
    EXPECT_EQ(quad[3], (Point{10, 45}));
}

TEST(QuadFromBox, ExclusiveEdgesSpanWholePixels) {
    // The single top-left pixel covers (0,0)-(1,1).
    const Quad pixel = quad_from_box(0, 0, 1, 1);
    EXPECT_EQ(pixel[1].x - pixel[0].x, 1);
    EXPECT_EQ(pixel[3].y - pixel[0].y, 1);
}

}  // namespace
}  // namespace lumascan
