#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

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
// colour types, depths, filters and interlacing this writer never uses;
// <name>.rgba holds the premultiplied pixels each shows.
TEST(PngDecode, OtherColourTypesAndDepths) {
    const std::tuple<const char*, int, int> fixtures[] = {
        {"grey8", 4, 3},         {"grey1", 11, 2},        {"grey_alpha8", 4, 2},        {"palette2_trns", 5, 3},
        {"rgb16", 3, 2},         {"rgb8_key", 4, 3},      {"rgba8_adam7", 10, 7},       {"rgba8_filters", 9, 6},
        {"rgba16", 4, 3},        {"grey16_key", 5, 2},    {"rgb8_filters_adam7", 11, 9}, {"palette4_short", 6, 2},
        {"rgba8_noise_filters", 48, 25},
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
    // Every cut, even inside IEND's checksum.
    for (size_t size = 0; size < png.size(); ++size)
        EXPECT_FALSE(decode(png.substr(0, size))) << "cut at " << size;
    // Every byte is under a chunk CRC or is a chunk length.
    for (size_t i = 0; i < png.size(); ++i) {
        std::string damaged = png;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x24);
        EXPECT_FALSE(decode(damaged)) << "byte " << i;
    }
}

// A chunk as the format frames it: length, type, data, CRC of type and data.
std::string chunk(const std::string& type, const std::string& data) {
    auto be32 = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    const std::string body = type + data;
    return be32(static_cast<uint32_t>(data.size())) + body +
           be32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// The picture with `insert` placed before the first chunk of type `before`.
std::string rebuilt(const std::string& png, const std::string& before, const std::string& insert) {
    const size_t at = png.find(before) - 4;
    return png.substr(0, at) + insert + png.substr(at);
}

TEST(PngDecode, ChecksChunkOrderAndTheStreamsEnd) {
    const std::string png = encodePng(opaqueNoise(6, 4));
    ASSERT_TRUE(decode(png));
    // Ancillary chunks this reader does not know are skipped; critical ones refuse the file.
    EXPECT_TRUE(decode(rebuilt(png, "IDAT", chunk("teXt", "a\0b"))));
    EXPECT_FALSE(decode(rebuilt(png, "IDAT", chunk("QUUX", "a"))));
    EXPECT_FALSE(decode(rebuilt(png, "IEND", chunk("IHDR", png.substr(16, 13)))));
    // A damaged ancillary chunk refuses the file as a damaged critical one does.
    std::string badCrc = chunk("teXt", "a\0b");
    badCrc.back() ^= 1;
    EXPECT_FALSE(decode(rebuilt(png, "IDAT", badCrc)));
    // Bytes after IEND are not part of the file.
    EXPECT_TRUE(decode(png + "trailing"));
    // An IDAT after another chunk that followed the image data.
    const size_t idat = png.find("IDAT") - 4, iend = png.find("IEND") - 4;
    const std::string data = png.substr(idat, iend - idat);
    EXPECT_FALSE(decode(png.substr(0, iend) + chunk("teXt", "a\0b") + data + png.substr(iend)));
    // Extra bytes after the zlib stream, in the same IDAT or in another.
    const std::string stream = png.substr(idat + 8, iend - idat - 12);
    EXPECT_FALSE(decode(png.substr(0, idat) + chunk("IDAT", stream + "x") + png.substr(iend)));
    EXPECT_FALSE(decode(png.substr(0, iend) + chunk("IDAT", "x") + png.substr(iend)));
    // The stream split over several IDAT chunks, one of them empty, is whole again.
    EXPECT_TRUE(decode(png.substr(0, idat) + chunk("IDAT", stream.substr(0, 5)) + chunk("IDAT", "") +
                       chunk("IDAT", stream.substr(5)) + png.substr(iend)));
}

TEST(PngDecode, ReadsOnePaletteBeforeTheData) {
    const std::string palette = chunk("PLTE", std::string("\xff\0\0\0\xff\0", 6));
    // One 2x1 picture of 1-bit indices 0 and 1, unfiltered.
    const std::string ihdr = chunk("IHDR", std::string("\0\0\0\2\0\0\0\1\1\3\0\0\0", 13));
    const std::string idat = chunk("IDAT", std::string("\x78\x9c\x63\x70\x00\x00\x00\x42\x00\x41", 10));
    const std::string head = "\x89PNG\r\n\x1a\n" + ihdr, tail = idat + chunk("IEND", "");
    ASSERT_TRUE(decode(head + palette + tail));
    EXPECT_EQ(decode(head + palette + tail)->rgba, (std::vector<uint8_t>{255, 0, 0, 255, 0, 255, 0, 255}));
    EXPECT_FALSE(decode(head + tail));                      // indices without a palette
    EXPECT_FALSE(decode(head + palette + palette + tail));  // a second palette
    EXPECT_FALSE(decode(head + chunk("PLTE", "\xff\0") + tail));
    // A transparency chunk before the palette does not fit and is skipped.
    EXPECT_TRUE(decode(head + chunk("tRNS", "\x80") + palette + tail));
    EXPECT_EQ(decode(head + palette + chunk("tRNS", "\x80") + tail)->rgba[3], 0x80);
}

TEST(PngDecode, ReusedBufferGivesTheSamePicture) {
    Image reused;
    for (auto [w, h] : {std::pair{300, 200}, {7, 3}, {300, 200}}) {
        const std::string png = encodePng(opaqueNoise(w, h));
        ASSERT_TRUE(decodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, {}, reused));
        EXPECT_EQ(reused.width, w);
        EXPECT_EQ(reused.height, h);
        EXPECT_TRUE(reused.rgba == opaqueNoise(w, h).rgba) << w << "x" << h;
    }
    const std::vector<uint8_t> palette = fixture("palette2_trns.png");
    ASSERT_TRUE(decodePng(palette, {}, reused));
    EXPECT_EQ(reused.rgba, fixture("palette2_trns.rgba"));
}

TEST(PngDecode, TopRowsAreThoseOfTheWholePictureAndTheRestIsStillChecked) {
    const Image whole = opaqueNoise(40, 30);
    const std::string png = encodePng(whole);
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(png.data()), png.size());
    Image top;
    int height = 0;
    for (int rows : {0, 1, 17, 30, 1000}) {
        ASSERT_TRUE(decodePngTop(bytes, {}, rows, top, height)) << rows;
        EXPECT_EQ(height, 30);
        EXPECT_EQ(top.height, std::min(rows, 30));
        EXPECT_TRUE(std::equal(top.rgba.begin(), top.rgba.end(), whole.rgba.begin())) << rows;
        EXPECT_EQ(top.rgba.size(), top.stride() * static_cast<size_t>(top.height));
    }
    // A filter type that does not exist on the last row of an intact
    // stream refuses the file however few rows are asked for.
    for (char lastFilter : {'\4', '\5'}) {
        std::string raw;
        for (int y = 0; y < 3; ++y) raw += std::string(1, y == 2 ? lastFilter : '\0') + std::string(8, '\x7f');
        uLongf size = compressBound(static_cast<uLong>(raw.size()));
        std::string stream(size, '\0');
        compress(reinterpret_cast<Bytef*>(stream.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                 static_cast<uLong>(raw.size()));
        stream.resize(size);
        const std::string file = "\x89PNG\r\n\x1a\n" + chunk("IHDR", std::string("\0\0\0\2\0\0\0\3\10\6\0\0\0", 13)) +
                                 chunk("IDAT", stream) + chunk("IEND", "");
        EXPECT_EQ(decodePngTop({reinterpret_cast<const uint8_t*>(file.data()), file.size()}, {}, 1, top, height),
                  lastFilter == '\4');
    }
    // Other colour types, interlaced or not, are cropped to the rows asked for.
    for (const char* name : {"rgb8_filters_adam7", "palette2_trns"}) {
        const std::vector<uint8_t> file = fixture(std::string(name) + ".png");
        const std::vector<uint8_t> pixels = fixture(std::string(name) + ".rgba");
        ASSERT_TRUE(decodePngTop(file, {}, 2, top, height)) << name;
        EXPECT_EQ(top.height, 2);
        EXPECT_TRUE(std::equal(top.rgba.begin(), top.rgba.end(), pixels.begin())) << name;
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
