#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "image/resample.h"

namespace quillgate::image {
namespace {

Image filled(int width, int height, std::array<uint8_t, 4> pixel) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = pixel[i % 4];
    return image;
}

const uint8_t* at(const Image& image, int x, int y) { return image.row(y) + 4 * x; }

TEST(Resample, GivesExactlyTheAskedSize) {
    Image source = filled(7, 5, {1, 2, 3, 255});
    for (auto [w, h] : {std::pair{3, 2}, {1, 1}, {11, 13}, {7, 1}, {2880, 3}}) {
        Image out = resample(source, w, h);
        EXPECT_EQ(out.width, w);
        EXPECT_EQ(out.height, h);
        EXPECT_EQ(out.rgba.size(), static_cast<size_t>(w) * h * 4);
    }
}

TEST(Resample, SameSizeIsAnExactCopy) {
    Image source(5, 4);
    for (size_t i = 0; i < source.rgba.size(); ++i) source.rgba[i] = static_cast<uint8_t>(i * 37);
    EXPECT_EQ(resample(source, 5, 4).rgba, source.rgba);
}

TEST(Resample, UniformColourStaysUniform) {
    for (std::array<uint8_t, 4> pixel : {std::array<uint8_t, 4>{30, 120, 200, 255}, {50, 20, 64, 128}, {0, 0, 0, 0}}) {
        for (auto [w, h] : {std::pair{17, 11}, {90, 70}}) {
            Image out = resample(filled(40, 30, pixel), w, h);
            EXPECT_EQ(out.rgba, filled(w, h, pixel).rgba) << w << "x" << h << " alpha " << int(pixel[3]);
        }
    }
}

TEST(Resample, HalvingADoubledPictureRestoresIt) {
    // Flat 6x6 blocks at 1x, drawn at 2x the way a Retina capture shows them:
    // away from block edges the halved picture must match the 1x one.
    const int blocks = 5, block = 6, size = blocks * block;
    Image one(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int b = (y / block) * blocks + x / block;
            uint8_t* p = one.row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(b * 53);
            p[1] = static_cast<uint8_t>(255 - b * 29);
            p[2] = static_cast<uint8_t>(b * 101);
            p[3] = 255;
        }
    Image two(2 * size, 2 * size);
    for (int y = 0; y < 2 * size; ++y)
        for (int x = 0; x < 2 * size; ++x) std::memcpy(two.row(y) + 4 * x, at(one, x / 2, y / 2), 4);

    Image half = resample(two, size, size);
    long totalError = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            for (int c = 0; c < 4; ++c) {
                const int error = std::abs(at(half, x, y)[c] - at(one, x, y)[c]);
                totalError += error;
                const bool inner = x % block >= 2 && x % block < block - 2 && y % block >= 2 && y % block < block - 2;
                if (inner) {
                    EXPECT_LE(error, 1) << x << "," << y << " channel " << c;
                }
            }
    // Edges blur a little but the picture as a whole stays the same.
    EXPECT_LT(static_cast<double>(totalError) / (size * size * 4), 8.0);
}

TEST(Resample, NeverGivesMoreColourThanAlpha) {
    // Saturated colours against transparency: the filter's overshoot at such
    // edges must not produce invalid premultiplied pixels.
    Image source(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = source.row(y) + 4 * x;
            const bool solid = (x / 2 + y / 3) % 2 == 0;
            p[0] = solid ? 255 : 0;
            p[1] = solid && x % 4 == 0 ? 255 : 0;
            p[3] = solid ? 255 : 0;
        }
    for (auto [w, h] : {std::pair{5, 7}, {37, 29}}) {
        Image out = resample(source, w, h);
        for (size_t i = 0; i < out.rgba.size(); i += 4)
            for (int c = 0; c < 3; ++c) ASSERT_LE(out.rgba[i + c], out.rgba[i + 3]) << "pixel " << i / 4;
    }
}

}  // namespace
}  // namespace quillgate::image
