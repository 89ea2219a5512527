#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/png.h"

namespace quillgate::image {
namespace {

std::vector<uint8_t> fixture(const std::string& file) {
    std::ifstream in(std::string(QUILLGATE_TEST_DATA) + "/image/fixtures/" + file, std::ios::binary);
    EXPECT_TRUE(in) << file;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<Image> decode(const std::string& png, const DecodeLimits& limits = {}) {
    return decodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, limits);
}

// Opaque pixels of deterministic bytes with no structure deflate could use.
Image opaqueNoise(int width, int height) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) {
        const uint32_t v = static_cast<uint32_t>(i) * 2654435761u;
        image.rgba[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>((v ^ (v >> 15)) >> 7);
    }
    return image;
}

TEST(PngRoundTrip, OpaquePicturesComeBackUnchanged) {
    // A single pixel, a single row, and enough noise to span several of the
    // writer's row blocks and IDAT chunks.
    for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {300, 1}, {300, 700}}) {
        const Image image = opaqueNoise(w, h);
        std::optional<Image> back = decode(encodePng(image));
        ASSERT_TRUE(back) << w << "x" << h;
        EXPECT_EQ(back->width, w);
        EXPECT_EQ(back->height, h);
        EXPECT_TRUE(back->rgba == image.rgba) << w << "x" << h;
    }
}

TEST(PngRoundTrip, EveryPremultipliedPixelComesBackExactly) {
    // Rows of every alpha, with opaque rows scattered among them so opaque and
    // translucent rows follow each other in every order; along a row, colours
    // run through the values a pixel of that alpha may hold. Rounding to
    // nearest both ways makes the trip lossless.
    std::vector<int> alphas;
    for (int a = 0; a < 256 + 64; ++a) alphas.push_back(std::min(a, 255));
    Image image(256, static_cast<int>(alphas.size()));
    for (int y = 0; y < image.height; ++y) {
        const int a = alphas[static_cast<size_t>(y) * 97 % alphas.size()];
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = image.row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(x * a / 255);
            p[1] = static_cast<uint8_t>((x * 7) % (a + 1));
            p[2] = static_cast<uint8_t>(a - p[0]);
            p[3] = static_cast<uint8_t>(a);
        }
    }
    std::optional<Image> back = decode(encodePng(image));
    ASSERT_TRUE(back);
    for (size_t i = 0; i < image.rgba.size(); ++i) ASSERT_EQ(back->rgba[i], image.rgba[i]) << "byte " << i;

    // Colour above alpha is not a valid pixel; it saturates rather than wraps.
    Image invalid(1, 1);
    invalid.rgba = {250, 40, 0, 100};
    EXPECT_EQ(decode(encodePng(invalid))->rgba, (std::vector<uint8_t>{100, 40, 0, 100}));
}

TEST(PngEncode, WritesNothingForPicturesWithoutPixels) {
    EXPECT_EQ(encodePng(Image()), "");
    EXPECT_EQ(encodePng(Image(0, 5)), "");
    Image shortBuffer(4, 4);
    shortBuffer.rgba.resize(10);
    EXPECT_EQ(encodePng(shortBuffer), "");
}

// Pictures from another writer (tests/image/fixtures/make_fixtures.py) in the
// colour types and depths this writer never uses; <name>.rgba holds the
// premultiplied pixels each shows.
TEST(PngDecode, OtherColourTypesAndDepths) {
    const std::tuple<const char*, int, int> fixtures[] = {
        {"grey8", 4, 3},         {"grey1", 11, 2}, {"grey_alpha8", 4, 2},   {"palette2_trns", 5, 3},
        {"rgb16", 3, 2},         {"rgb8_key", 4, 3}, {"rgba8_adam7", 10, 7},
    };
    for (auto [name, w, h] : fixtures) {
        std::optional<Image> image = decodePng(fixture(std::string(name) + ".png"));
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width, w) << name;
        EXPECT_EQ(image->height, h) << name;
        EXPECT_EQ(image->rgba, fixture(std::string(name) + ".rgba")) << name;
    }
}

TEST(PngDecode, RefusesDamage) {
    EXPECT_FALSE(decodePng({}));
    EXPECT_FALSE(decode("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"));
    EXPECT_FALSE(decodePng(fixture("broken_deflate.png")));  // valid chunks around a bad stream

    const std::string png = encodePng(opaqueNoise(7, 5));
    // Every cut but inside IEND's checksum, a constant guarding no data.
    for (size_t size = 0; size < png.size() - 4; ++size)
        EXPECT_FALSE(decode(png.substr(0, size))) << "cut at " << size;
    // Every byte is under a chunk CRC or is a chunk length.
    for (size_t i = 0; i < png.size(); ++i) {
        std::string damaged = png;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x24);
        EXPECT_FALSE(decode(damaged)) << "byte " << i;
    }
}

TEST(PngDecode, AppliesLimitsAtTheirBoundaries) {
    const std::string png = encodePng(opaqueNoise(10, 5));
    EXPECT_TRUE(decode(png, {.maxWidth = 10, .maxHeight = 5, .maxPixels = 50}));
    EXPECT_FALSE(decode(png, {.maxWidth = 9, .maxHeight = 5, .maxPixels = 50}));
    EXPECT_FALSE(decode(png, {.maxWidth = 10, .maxHeight = 4, .maxPixels = 50}));
    EXPECT_FALSE(decode(png, {.maxWidth = 10, .maxHeight = 5, .maxPixels = 49}));
    // 16000 x 16000 passes the default width and height limits; without the
    // pixel limit a gigabyte would be allocated before the data runs out.
    EXPECT_FALSE(decodePng(fixture("claims_huge.png")));
}

}  // namespace
}  // namespace quillgate::image
