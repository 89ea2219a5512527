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

std::span<const uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Deterministic bytes with no structure deflate could exploit.
uint8_t noise(size_t i) {
    uint32_t v = static_cast<uint32_t>(i) * 2654435761u;
    return static_cast<uint8_t>((v ^ (v >> 15)) >> 7);
}

Image opaqueNoise(int width, int height) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = i % 4 == 3 ? 255 : noise(i);
    return image;
}

// Rows of every alpha value, with opaque rows scattered between them so that
// opaque and translucent rows follow each other in every combination; within
// a row, colours run through all values a premultiplied pixel may hold.
Image everyPremultipliedPixel() {
    std::vector<int> alphas;
    for (int a = 0; a < 256; ++a) alphas.push_back(a);
    for (int k = 0; k < 64; ++k) alphas.push_back(255);
    const int height = static_cast<int>(alphas.size());
    Image image(256, height);
    for (int y = 0; y < height; ++y) {
        const int a = alphas[static_cast<size_t>(y) * 97 % alphas.size()];
        uint8_t* p = image.row(y);
        for (int x = 0; x < 256; ++x, p += 4) {
            p[0] = static_cast<uint8_t>(x * a / 255);
            p[1] = static_cast<uint8_t>((x * 7) % (a + 1));
            p[2] = static_cast<uint8_t>(a - p[0]);
            p[3] = static_cast<uint8_t>(a);
        }
    }
    return image;
}

void expectSame(const Image& actual, const Image& expected) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    ASSERT_EQ(actual.rgba.size(), expected.rgba.size());
    for (size_t i = 0; i < actual.rgba.size(); ++i)
        ASSERT_EQ(actual.rgba[i], expected.rgba[i]) << "byte " << i << " (pixel " << i / 4 << ")";
}

TEST(PngRoundTrip, OpaquePicturesComeBackUnchanged) {
    // Sizes around the writer's internal boundaries: a single pixel, a single
    // row, and noise large enough to span several row blocks and IDAT chunks.
    for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {300, 1}, {300, 700}}) {
        Image image = opaqueNoise(w, h);
        std::optional<Image> back = decodePng(bytesOf(encodePng(image)));
        ASSERT_TRUE(back) << w << "x" << h;
        expectSame(*back, image);
    }
}

TEST(PngRoundTrip, EveryPremultipliedPixelComesBackExactly) {
    // Rounding to nearest in both directions makes the round trip lossless
    // for every pixel whose colour does not exceed its alpha.
    Image image = everyPremultipliedPixel();
    std::optional<Image> back = decodePng(bytesOf(encodePng(image)));
    ASSERT_TRUE(back);
    expectSame(*back, image);
}

TEST(PngRoundTrip, ColourAboveAlphaSaturates) {
    Image image(2, 1);
    const uint8_t pixels[] = {250, 40, 0, 100, 0, 0, 0, 0};
    image.rgba.assign(std::begin(pixels), std::end(pixels));
    std::optional<Image> back = decodePng(bytesOf(encodePng(image)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rgba, (std::vector<uint8_t>{100, 40, 0, 100, 0, 0, 0, 0}));
}

TEST(PngEncode, WritesNothingForPicturesWithoutPixels) {
    EXPECT_EQ(encodePng(Image()), "");
    EXPECT_EQ(encodePng(Image(0, 5)), "");
    Image shortBuffer(4, 4);
    shortBuffer.rgba.resize(10);
    EXPECT_EQ(encodePng(shortBuffer), "");
}

TEST(PngEncode, FlatPicturesCompressWell) {
    Image image(640, 480);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = i % 4 == 3 ? 255 : 235;
    EXPECT_LT(encodePng(image).size(), image.rgba.size() / 100);
}

// Pictures written by another encoder in the colour types and bit depths the
// writer never uses; <name>.rgba holds the premultiplied pixels they show.
struct Foreign {
    const char* name;
    int width;
    int height;
};

class PngForeign : public testing::TestWithParam<Foreign> {};

TEST_P(PngForeign, DecodesToPremultipliedRgba) {
    const Foreign& f = GetParam();
    std::optional<Image> image = decodePng(fixture(std::string(f.name) + ".png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, f.width);
    EXPECT_EQ(image->height, f.height);
    EXPECT_EQ(image->rgba, fixture(std::string(f.name) + ".rgba"));
}

INSTANTIATE_TEST_SUITE_P(ColourTypes, PngForeign,
                         testing::Values(Foreign{"grey8", 4, 3}, Foreign{"grey1", 11, 2},
                                         Foreign{"grey_alpha8", 4, 2}, Foreign{"palette2_trns", 5, 3},
                                         Foreign{"rgb16", 3, 2}, Foreign{"rgb8_key", 4, 3},
                                         Foreign{"rgba8_adam7", 10, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngDecode, RefusesWhatIsNotAPng) {
    EXPECT_FALSE(decodePng({}));
    const std::string jpegStart = "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00";
    EXPECT_FALSE(decodePng(bytesOf(jpegStart)));
    EXPECT_FALSE(decodePng(bytesOf(std::string(100, '\0'))));
}

TEST(PngDecode, RefusesEveryTruncation) {
    // All but IEND's checksum: it is a constant that guards no data, and the
    // decoder stops at the chunk's name.
    const std::string png = encodePng(opaqueNoise(7, 5));
    for (size_t size = 0; size < png.size() - 4; ++size)
        EXPECT_FALSE(decodePng(bytesOf(png.substr(0, size)))) << "cut at " << size << " of " << png.size();
}

TEST(PngDecode, RefusesEverySingleByteChange) {
    // Every byte is either under a chunk CRC or a chunk length, so no change
    // may slip through as a different picture.
    const std::string png = encodePng(opaqueNoise(7, 5));
    for (size_t i = 0; i < png.size(); ++i) {
        std::string damaged = png;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x24);
        EXPECT_FALSE(decodePng(bytesOf(damaged))) << "byte " << i;
    }
}

TEST(PngDecode, RefusesABrokenDeflateStreamInsideValidChunks) {
    EXPECT_FALSE(decodePng(fixture("broken_deflate.png")));
}

TEST(PngDecode, AppliesLimitsAtTheirBoundaries) {
    const std::string png = encodePng(opaqueNoise(10, 5));
    EXPECT_TRUE(decodePng(bytesOf(png), {.maxWidth = 10, .maxHeight = 5, .maxPixels = 50}));
    EXPECT_FALSE(decodePng(bytesOf(png), {.maxWidth = 9, .maxHeight = 5, .maxPixels = 50}));
    EXPECT_FALSE(decodePng(bytesOf(png), {.maxWidth = 10, .maxHeight = 4, .maxPixels = 50}));
    EXPECT_FALSE(decodePng(bytesOf(png), {.maxWidth = 10, .maxHeight = 5, .maxPixels = 49}));
    EXPECT_FALSE(decodePng(bytesOf(png), {.maxWidth = 0, .maxHeight = 5, .maxPixels = 50}));
}

TEST(PngDecode, RefusesAHugeClaimBeforeAllocatingIt) {
    // 16000 x 16000 passes the default width and height limits; without the
    // pixel limit a gigabyte would be allocated before the data runs out.
    EXPECT_FALSE(decodePng(fixture("claims_huge.png")));
}

}  // namespace
}  // namespace quillgate::image
