#include "backends/x11/ax_scale.h"

#include <gtest/gtest.h>

namespace quillgate::x11 {
namespace {

TEST(X11ExtentScale, TheRatioOfAFrameToItsExtentsIsWholeWithinRounding) {
    // GDK_SCALE=2: the frame at (100, 80), 1122 x 745, is 561 x 373 logical pixels at (50, 40).
    EXPECT_EQ(frameRatio(Rect{100, 80, 1122, 745}, Rect{50, 40, 561, 373}), 2.0);
    EXPECT_EQ(frameRatio(Rect{100, 80, 902, 625}, Rect{100, 80, 902, 625}), 1.0);
    // A fractional scale is kept as it is.
    EXPECT_NEAR(*frameRatio(Rect{150, 120, 900, 600}, Rect{100, 80, 600, 400}), 1.5, 1e-9);
}

TEST(X11ExtentScale, WindowsThatDoNotScaleAlikeAreNotTheSameWindow) {
    EXPECT_EQ(frameRatio(Rect{100, 80, 1122, 745}, Rect{50, 40, 561, 200}), std::nullopt);  // another shape
    EXPECT_EQ(frameRatio(Rect{100, 80, 1122, 745}, Rect{300, 40, 561, 373}), std::nullopt);  // elsewhere
    EXPECT_EQ(frameRatio(Rect{100, 80, 1122, 745}, Rect{50, 40, 0, 373}), std::nullopt);    // no size
}

}  // namespace
}  // namespace quillgate::x11
