#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "image/resample.h"

namespace quillgate::image {
namespace {

Image filled(int width, int height, std::array<uint8_t, 4> pixel) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = pixel[i % 4];
    return image;
}

TEST(Resample, UniformColourStaysUniformAtEverySize) {
    for (std::array<uint8_t, 4> pixel : {std::array<uint8_t, 4>{30, 120, 200, 255}, {50, 20, 64, 128}, {0, 0, 0, 0}})
        for (auto [w, h] : {std::pair{17, 11}, {1, 1}, {90, 70}, {40, 1}, {2880, 3}}) {
            const Image out = resample(filled(40, 30, pixel), w, h);
            EXPECT_EQ(out.width, w);
            EXPECT_EQ(out.height, h);
            EXPECT_EQ(out.rgba, filled(w, h, pixel).rgba) << w << "x" << h << " alpha " << int(pixel[3]);
        }

    Image varied(5, 4);
    for (size_t i = 0; i < varied.rgba.size(); ++i) varied.rgba[i] = static_cast<uint8_t>(i * 37);
    EXPECT_EQ(resample(varied, 5, 4).rgba, varied.rgba);  // the same size is a copy
    EXPECT_THROW(resample(varied, 0, 4), std::invalid_argument);
    EXPECT_THROW(resample(Image(), 4, 4), std::invalid_argument);
}

TEST(Resample, HalvingADoubledPictureRestoresIt) {
    // Flat 6x6 blocks at 1x, drawn at 2x as a Retina capture shows them: away
    // from block edges the halved picture matches the 1x one.
    constexpr int blocks = 5, block = 6, size = blocks * block;
    Image one(size, size), two(2 * size, 2 * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int b = (y / block) * blocks + x / block;
            const uint8_t p[4] = {static_cast<uint8_t>(b * 53), static_cast<uint8_t>(255 - b * 29),
                                  static_cast<uint8_t>(b * 101), 255};
            std::memcpy(one.row(y) + 4 * x, p, 4);
            for (int k = 0; k < 4; ++k) std::memcpy(two.row(2 * y + k / 2) + 4 * (2 * x + k % 2), p, 4);
        }

    const Image half = resample(two, size, size);
    long totalError = 0;
    for (size_t i = 0; i < one.rgba.size(); ++i) {
        const int error = std::abs(half.rgba[i] - one.rgba[i]);
        totalError += error;
        const int x = static_cast<int>(i / 4 % size) % block, y = static_cast<int>(i / 4 / size) % block;
        if (x >= 2 && x < block - 2 && y >= 2 && y < block - 2) {
            EXPECT_LE(error, 1) << "byte " << i;
        }
    }
    EXPECT_LT(static_cast<double>(totalError) / static_cast<double>(one.rgba.size()), 8.0);
}

TEST(Resample, NeverGivesMoreColourThanAlpha) {
    // Saturated colours against transparency: the filter's overshoot at such
    // edges must not produce invalid premultiplied pixels.
    Image source(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool solid = (x / 2 + y / 3) % 2 == 0;
            const uint8_t p[4] = {uint8_t(solid ? 255 : 0), uint8_t(solid && x % 4 == 0 ? 255 : 0), 0,
                                  uint8_t(solid ? 255 : 0)};
            std::memcpy(source.row(y) + 4 * x, p, 4);
        }
    for (auto [w, h] : {std::pair{5, 7}, {37, 29}}) {
        const Image out = resample(source, w, h);
        for (size_t i = 0; i < out.rgba.size(); i += 4)
            for (int c = 0; c < 3; ++c) ASSERT_LE(out.rgba[i + c], out.rgba[i + 3]) << "pixel " << i / 4;
    }
}

}  // namespace
}  // namespace quillgate::image
