#include "ink_box.h"

#include <array>
#include <cstdint>

#include <gtest/gtest.h>

namespace lumascan {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

struct Canvas {
    ColourImage image;
    Canvas(int width, int height, Rgb fill) : image{width, height, {}} {
        for (int i = 0; i < width * height; ++i) image.rgb.insert(image.rgb.end(), fill.begin(), fill.end());
    }
    Canvas& paint(PixelBox box, Rgb colour) {
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                auto* p = image.rgb.data() + (static_cast<std::size_t>(y) * image.width + x) * 3;
                p[0] = colour[0];
                p[1] = colour[1];
                p[2] = colour[2];
            }
        }
        return *this;
    }
};

constexpr Rgb page{237, 237, 237};
constexpr Rgb blue{64, 128, 255};
constexpr Rgb white{255, 255, 255};

TEST(LineInk, WhiteTextOnABubbleWhoseCornersReachIntoTheArea) {
    // The detected area lies on a blue bubble whose rounded corners let
    // the page show in the area's corners. Two "glyphs" of white text.
    Canvas c(100, 40, page);
    c.paint({6, 4, 94, 36}, blue);
    for (const PixelBox corner : {PixelBox{6, 4, 9, 7}, PixelBox{91, 4, 94, 7}, PixelBox{6, 33, 9, 36},
                                  PixelBox{91, 33, 94, 36}}) {
        c.paint(corner, page);
    }
    c.paint({20, 12, 30, 26}, white).paint({34, 14, 44, 28}, white);
    const auto ink = findLineInk(c.image, {6, 4, 94, 36}, {22, 16, 42, 24});
    EXPECT_EQ(ink.bounds, (PixelBox{20, 12, 44, 28}));
    ASSERT_EQ(ink.columns.size(), 88U);
    EXPECT_FALSE(ink.columns[31 - 6]) << "between the glyphs";
    EXPECT_TRUE(ink.columns[20 - 6]);
    EXPECT_TRUE(ink.columns[43 - 6]);
    EXPECT_FALSE(ink.columns[6 - 6]) << "the page in a corner lies outside the text's rows";
}

TEST(LineInk, InkBesideTheCoreCountsUnlessItTouchesTheAreaEdge) {
    // A bracket left of the core is part of the line; the descender of the
    // line above, cut by the area's top edge, is not.
    Canvas c(120, 40, white);
    c.paint({10, 10, 12, 30}, {20, 20, 20});     // bracket, outside the core
    c.paint({20, 12, 80, 28}, {20, 20, 20});     // the text
    c.paint({60, 2, 64, 6}, {20, 20, 20});       // from the line above
    const auto ink = findLineInk(c.image, {4, 2, 100, 36}, {24, 16, 76, 24});
    EXPECT_EQ(ink.bounds, (PixelBox{10, 10, 80, 30}));
}

TEST(LineInk, DarkThemeFaintGreyAndNoInkAtAll) {
    Canvas dark(60, 30, {25, 25, 25});
    dark.paint({10, 8, 50, 22}, {120, 120, 120});
    EXPECT_EQ(findLineInk(dark.image, {2, 2, 58, 28}, {12, 12, 48, 18}).bounds, (PixelBox{10, 8, 50, 22}));

    Canvas faint(60, 30, white);
    faint.paint({10, 8, 50, 22}, {215, 215, 215});  // 40 from white: below ink, above faint
    const auto ink = findLineInk(faint.image, {2, 2, 58, 28}, {12, 12, 48, 18});
    EXPECT_EQ(ink.bounds, (PixelBox{2, 2, 58, 28})) << "no ink: the whole area";
    EXPECT_TRUE(ink.columns[20]);
    EXPECT_FALSE(ink.columns[2]);
}

}  // namespace
}  // namespace lumascan
