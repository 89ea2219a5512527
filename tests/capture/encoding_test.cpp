#include "capture/encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "image/png.h"
#include "service/failure.h"

namespace quillgate {
namespace {

Image filled(int width, int height, std::array<uint8_t, 4> pixel) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = pixel[i % 4];
    return image;
}

// A picture whose every byte differs from its neighbours, so that any wrong
// offset or stride changes the hashed bytes.
Image patterned(int width, int height) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = static_cast<uint8_t>(i * 131 + i / 7);
    return image;
}

Image crop(const Image& image, int x, int y, int width, int height) {
    Image out(width, height);
    for (int row = 0; row < height; ++row)
        std::copy_n(image.row(y + row) + 4 * x, out.stride(), out.row(row));
    return out;
}

Object region(Value x, Value y, Value width, Value height) {
    return {{"x", std::move(x)}, {"y", std::move(y)}, {"width", std::move(width)}, {"height", std::move(height)}};
}

std::string failureOf(const Image& image, const Object& r) {
    try {
        hash(image, r);
    } catch (const GuardFailure& f) {
        return f.message;
    }
    return "(no failure)";
}

const std::string kRegionRefused(msg::invalidGuardRegion);

TEST(RegionHash, KnownVectors) {
    EXPECT_EQ(hash(filled(2, 2, {255, 255, 255, 255}), region(0, 0, 2, 2)),
              "5ac6a5945f16500911219129984ba8b387a06f24fe383ce4e81a73294065461b");
    EXPECT_EQ(hash(filled(2, 2, {0, 0, 0, 255}), region(0, 0, 2, 2)),
              "cc0fa51d4d0a97b664030be5052f3b2b69a1267f89ace4c9bbc65007566725df");
}

TEST(RegionHash, HashesTheRegionRowsAsAPictureOfTheirOwn) {
    const Image image = patterned(23, 17);
    EXPECT_EQ(hash(image, region(3, 5, 11, 7)), hash(crop(image, 3, 5, 11, 7), region(0, 0, 11, 7)));
    EXPECT_EQ(hash(image, region(21, 15, 2, 2)), hash(crop(image, 21, 15, 2, 2), region(0, 0, 2, 2)));
}

TEST(RegionHash, OnlyPixelsInsideTheRegionCount) {
    const Image image = patterned(20, 12);
    const Object r = region(4, 3, 8, 5);
    const std::string before = hash(image, r);

    // The region's corners and the pixels just outside each of its sides.
    const std::pair<int, int> inside[] = {{4, 3}, {11, 3}, {4, 7}, {11, 7}, {8, 5}};
    const std::pair<int, int> outside[] = {{3, 3}, {12, 7}, {4, 2}, {11, 8}, {0, 0}, {19, 11}};
    for (auto [x, y] : inside)
        for (int c = 0; c < 4; ++c) {
            Image changed = image;
            changed.row(y)[4 * x + c] ^= 1;
            EXPECT_NE(hash(changed, r), before) << x << "," << y << " channel " << c;
        }
    for (auto [x, y] : outside) {
        Image changed = image;
        for (int c = 0; c < 4; ++c) changed.row(y)[4 * x + c] ^= 0xFF;
        EXPECT_EQ(hash(changed, r), before) << x << "," << y;
    }
}

TEST(RegionHash, RegionMayCoverThePictureExactly) {
    const Image image = patterned(30, 20);
    EXPECT_NO_THROW(hash(image, region(0, 0, 30, 20)));
    EXPECT_NO_THROW(hash(image, region(28, 18, 2, 2)));
    EXPECT_EQ(failureOf(image, region(0, 0, 31, 20)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, 0, 30, 21)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(1, 0, 30, 20)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, 1, 30, 20)), kRegionRefused);
}

TEST(RegionHash, SmallestRegionIsTwoByTwo) {
    const Image image = patterned(10, 10);
    EXPECT_NO_THROW(hash(image, region(0, 0, 2, 2)));
    EXPECT_EQ(failureOf(image, region(0, 0, 1, 2)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, 0, 2, 1)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, 0, 0, 5)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, 0, 5, -3)), kRegionRefused);
}

TEST(RegionHash, OffsetsMustNotBeNegative) {
    const Image image = patterned(10, 10);
    EXPECT_EQ(failureOf(image, region(-1, 0, 2, 2)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, -1, 2, 2)), kRegionRefused);
    // Negative zero is zero.
    EXPECT_EQ(hash(image, region(-0.0, 0, 2, 2)), hash(image, region(0, 0, 2, 2)));
}

TEST(RegionHash, ValuesMustBeWholeFiniteNumbers) {
    const Image image = patterned(40, 30);
    EXPECT_EQ(hash(image, region(10.0, 0, 4, 4)), hash(image, region(10, 0, 4, 4)));
    EXPECT_EQ(failureOf(image, region(10.5, 0, 4, 4)), kRegionRefused);
    EXPECT_EQ(failureOf(image, region(0, 0, 4, 4.000001)), kRegionRefused);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {inf, -inf, nan, 1e300, -1e300}) {
        EXPECT_EQ(failureOf(image, region(bad, 0, 4, 4)), kRegionRefused) << bad;
        EXPECT_EQ(failureOf(image, region(0, 0, 4, bad)), kRegionRefused) << bad;
    }
}

TEST(RegionHash, BooleansCountAsOneAndZero) {
    const Image image = patterned(10, 10);
    EXPECT_EQ(hash(image, region(0, true, 3, 3)), hash(image, region(0, 1, 3, 3)));
    EXPECT_EQ(hash(image, region(false, 0, 3, 3)), hash(image, region(0, 0, 3, 3)));
    EXPECT_EQ(failureOf(image, region(0, 0, true, 3)), kRegionRefused);  // width 1
}

TEST(RegionHash, NonNumbersAreAbsent) {
    const Image image = patterned(20, 20);
    for (Value bad : {Value("10"), Value(nullptr), Value(Array{Value(1)}), Value(Object{{"x", Value(1)}})}) {
        EXPECT_EQ(failureOf(image, region(bad, 0, 2, 2)), kRegionRefused);
        EXPECT_EQ(failureOf(image, region(0, 0, 2, bad)), kRegionRefused);
    }
    for (const char* key : {"x", "y", "width", "height"}) {
        Object r = region(0, 0, 2, 2);
        r.erase(key);
        EXPECT_EQ(failureOf(image, r), kRegionRefused) << key;
    }
}

TEST(RegionHash, OtherKeysAreIgnored) {
    const Image image = patterned(10, 10);
    Object r = region(1, 2, 3, 4);
    const std::string plain = hash(image, r);
    r["hash"] = "0000";
    r["note"] = Value(Array{});
    EXPECT_EQ(hash(image, r), plain);
}

TEST(RegionHash, PictureWithoutItsPixelsIsRefused) {
    Image broken = patterned(10, 10);
    broken.rgba.resize(40);
    try {
        hash(broken, region(0, 0, 2, 2));
        FAIL() << "no failure";
    } catch (const GuardFailure& f) {
        EXPECT_EQ(f.message, msg::invalidGuardImage);
    }
}

TEST(PngPayload, EncodesThePicture) {
    const Image image = patterned(9, 4);
    const std::string bytes = png(image);
    std::optional<Image> back = image::decodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 9);
    EXPECT_EQ(back->height, 4);
}

TEST(PngPayload, EmptyPictureIsCaptureEmpty) {
    try {
        png(Image());
        FAIL() << "no failure";
    } catch (const GuardFailure& f) {
        EXPECT_EQ(f.message, msg::captureEmpty);
    }
}

}  // namespace
}  // namespace quillgate
