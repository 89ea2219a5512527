#include "geometry.h"

#include <gtest/gtest.h>

namespace lumascan {
namespace {

TEST(QuadFromBox, CornersClockwiseFromTopLeft) {
    const Quad quad = quadFromBox(10, 20, 110, 45);
    EXPECT_EQ(quad[0], (Point{10, 20}));
    EXPECT_EQ(quad[1], (Point{110, 20}));
    EXPECT_EQ(quad[2], (Point{110, 45}));
    EXPECT_EQ(quad[3], (Point{10, 45}));
}

TEST(QuadFromBox, ExclusiveEdgesSpanWholePixels) {
    // The single top-left pixel covers (0,0)-(1,1).
    const Quad pixel = quadFromBox(0, 0, 1, 1);
    EXPECT_EQ(pixel[1].x - pixel[0].x, 1);
    EXPECT_EQ(pixel[3].y - pixel[0].y, 1);
}

TEST(QuadFromNormalized, FlipsTheAxisAndScalesToPixels) {
    // A 100 x 50 image; the box spans x 0.1-0.6 and y 0.2-0.5 from the bottom.
    const Quad quad = quadFromNormalized(0.1, 0.6, 0.2, 0.5, 100, 50);
    const Quad expected{Point{10, 25}, Point{60, 25}, Point{60, 40}, Point{10, 40}};
    for (std::size_t i = 0; i < quad.size(); ++i) {
        EXPECT_DOUBLE_EQ(quad[i].x, expected[i].x) << "corner " << i;
        EXPECT_DOUBLE_EQ(quad[i].y, expected[i].y) << "corner " << i;
    }
}

TEST(QuadFromNormalized, KeepsFractionsOfPixels) {
    const Quad quad = quadFromNormalized(0.25, 0.5, 0.5, 0.75, 3, 3);
    EXPECT_EQ(quad[0], (Point{0.75, 0.75}));
    EXPECT_EQ(quad[2], (Point{1.5, 1.5}));
}

}  // namespace
}  // namespace lumascan
