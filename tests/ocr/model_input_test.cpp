#include "model_input.h"

#include <gtest/gtest.h>

namespace lumascan {
namespace {

// 4 x 2: a row of red, green, blue, white over a row of black.
ColourImage sample() {
    return {4, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
}

TEST(ModelInput, TensorPlanesAreBlueGreenRedNormalised) {
    const Normalisation n{{0.5F, 0.25F, 0.0F}, {0.5F, 0.25F, 1.0F}};
    const auto t = toTensor(sample(), n);
    EXPECT_EQ(t.shape, (std::vector<std::int64_t>{1, 3, 2, 4}));
    ASSERT_EQ(t.data.size(), 24U);
    // Blue plane, first row: red, green, blue, white pixels.
    EXPECT_FLOAT_EQ(t.data[0], -1.0F);
    EXPECT_FLOAT_EQ(t.data[2], 1.0F);
    EXPECT_FLOAT_EQ(t.data[3], 1.0F);
    // Green plane: (1 - 0.25) / 0.25 for green, -1 for black.
    EXPECT_FLOAT_EQ(t.data[8 + 1], 3.0F);
    EXPECT_FLOAT_EQ(t.data[8 + 4], -1.0F);
    // Red plane: 1 for red.
    EXPECT_FLOAT_EQ(t.data[16], 1.0F);
    EXPECT_FLOAT_EQ(t.data[16 + 1], 0.0F);
}

TEST(ModelInput, ResamplingARegionAtItsOwnSizeCopiesIt) {
    const auto image = sample();
    const auto same = resampled(image, {0, 0, 4, 2}, 4, 2);
    EXPECT_EQ(same.rgb, image.rgb);
    const auto part = resampled(image, {1, 0, 3, 1}, 2, 1);
    EXPECT_EQ(part.rgb, (std::vector<std::uint8_t>{0, 255, 0, 0, 0, 255}));
}

TEST(ModelInput, EnlargingBlendsNeighboursAndKeepsTheEdges) {
    const ColourImage column{1, 2, {0, 0, 0, 200, 200, 200}};
    const auto tall = resampled(column, {0, 0, 1, 2}, 1, 4);
    ASSERT_EQ(tall.rgb.size(), 12U);
    EXPECT_EQ(tall.rgb[0], 0) << "the top edge is not blended with anything outside";
    EXPECT_EQ(tall.rgb[3], 50);
    EXPECT_EQ(tall.rgb[6], 150);
    EXPECT_EQ(tall.rgb[9], 200);
}

}  // namespace
}  // namespace lumascan
