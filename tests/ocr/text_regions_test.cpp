#include "text_regions.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "reading_order.h"

namespace lumascan {
namespace {

// A map of `width` x `height` at probability 0 with rectangles painted in.
struct MapPainter {
    TextProbabilityMap map;
    MapPainter(int width, int height) : map{width, height, std::vector<float>(static_cast<std::size_t>(width) * height)} {}
    MapPainter& paint(PixelBox box, float probability) {
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) map.probability[static_cast<std::size_t>(y) * map.width + x] = probability;
        }
        return *this;
    }
};

std::vector<TextRegion> sorted(std::vector<TextRegion> regions) {
    sortReadingOrder(regions);
    return regions;
}

TEST(TextRegions, EachConfidentCoreIsOneLineGrownByItsShrinkDistance) {
    MapPainter p(200, 100);
    p.paint({10, 10, 90, 20}, 0.9F).paint({10, 60, 50, 70}, 0.8F);
    const auto regions = sorted(findTextRegions(p.map));
    ASSERT_EQ(regions.size(), 2U);
    EXPECT_EQ(regions[0].core, (PixelBox{10, 10, 90, 20}));
    // 80 x 10: 1.5 * 800 / 180 = 6.7, so 7 pixels on every side.
    EXPECT_EQ(regions[0].box, (PixelBox{3, 3, 97, 27}));
    EXPECT_FLOAT_EQ(regions[0].score, 0.9F);
    EXPECT_EQ(regions[1].core, (PixelBox{10, 60, 50, 70}));
}

TEST(TextRegions, GrowingStopsAtTheMapEdge) {
    MapPainter p(60, 20);
    p.paint({0, 2, 60, 14}, 0.9F);  // grows by 8
    const auto regions = findTextRegions(p.map);
    ASSERT_EQ(regions.size(), 1U);
    EXPECT_EQ(regions[0].box, (PixelBox{0, 0, 60, 20}));
}

TEST(TextRegions, FaintSmallAndEmptyRegionsAreDropped) {
    MapPainter p(200, 100);
    p.paint({10, 10, 90, 20}, 0.5F);   // above the pixel threshold, below the region's
    p.paint({10, 40, 12, 60}, 0.95F);  // two pixels wide
    p.paint({10, 70, 90, 72}, 0.95F);  // two pixels high
    p.paint({100, 10, 190, 20}, 0.25F);
    EXPECT_TRUE(findTextRegions(p.map).empty());
    EXPECT_TRUE(findTextRegions({}).empty());
    EXPECT_TRUE(findTextRegions({10, 10, std::vector<float>(5)}).empty()) << "size mismatch";
}

TEST(TextRegions, PixelsOnlyDiagonallyAdjacentAreSeparateRegions) {
    // Lines stacked closely touch at most at a corner of their cores.
    MapPainter p(100, 40);
    p.paint({0, 0, 10, 10}, 0.9F).paint({10, 10, 20, 20}, 0.9F);
    EXPECT_EQ(findTextRegions(p.map).size(), 2U);
}

TEST(TextRegions, WordsOfOneRowJoinButListColumnsAndRowsStayApart) {
    MapPainter p(400, 100);
    // Two words 6 pixels apart, a time far to the right, a line below.
    p.paint({10, 10, 60, 20}, 0.9F).paint({66, 11, 120, 20}, 0.7F).paint({300, 10, 340, 20}, 0.9F);
    p.paint({10, 40, 120, 50}, 0.9F);
    const auto regions = sorted(findTextRegions(p.map));
    ASSERT_EQ(regions.size(), 3U);
    EXPECT_EQ(regions[0].core, (PixelBox{10, 10, 120, 20}));
    EXPECT_GT(regions[0].score, 0.7F);
    EXPECT_LT(regions[0].score, 0.9F);
    EXPECT_EQ(regions[1].core, (PixelBox{300, 10, 340, 20}));
    EXPECT_EQ(regions[2].core, (PixelBox{10, 40, 120, 50}));
}

TEST(ReadingOrder, TopToBottomAndLeftToRightWithinARow) {
    std::vector<TextRegion> lines;
    for (const PixelBox box : {PixelBox{300, 12, 340, 24}, PixelBox{10, 40, 200, 54}, PixelBox{10, 10, 90, 26},
                               PixelBox{200, 70, 260, 80}, PixelBox{10, 66, 100, 84}}) {
        lines.push_back({box, box, 1});
    }
    sortReadingOrder(lines);
    std::vector<int> lefts, tops;
    for (const auto& line : lines) {
        lefts.push_back(line.box.left);
        tops.push_back(line.box.top);
    }
    EXPECT_EQ(lefts, (std::vector<int>{10, 300, 10, 10, 200}));
    EXPECT_EQ(tops, (std::vector<int>{10, 12, 40, 66, 70}));
}

}  // namespace
}  // namespace lumascan
