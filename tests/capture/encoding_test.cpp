#include "capture/encoding.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/failure.h"
#include "image/png.h"
#include "support/refusal.h"

namespace quillgate {
namespace {

// Every byte differs from its neighbours, so a wrong offset or stride shows.
Image patterned(int width, int height) {
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = static_cast<uint8_t>(i * 131 + i / 7);
    return image;
}

// A region as the host writes it, read as the binding reads it.
GuardRegion region(Value x, Value y, Value width, Value height) {
    return guardRegion(
        Object{{"x", std::move(x)}, {"y", std::move(y)}, {"width", std::move(width)}, {"height", std::move(height)}});
}


TEST(RegionHash, KnownVectors) {
    Image white(2, 2), black(2, 2);
    for (size_t i = 0; i < 16; ++i) {
        white.rgba[i] = 255;
        black.rgba[i] = i % 4 == 3 ? 255 : 0;
    }
    EXPECT_EQ(hash(white, region(0, 0, 2, 2)), "5ac6a5945f16500911219129984ba8b387a06f24fe383ce4e81a73294065461b");
    EXPECT_EQ(hash(black, region(0, 0, 2, 2)), "cc0fa51d4d0a97b664030be5052f3b2b69a1267f89ace4c9bbc65007566725df");
}

TEST(RegionHash, HashesTheRegionAsAPictureOfItsOwn) {
    const Image image = patterned(23, 17);
    Image cropped(11, 7);
    for (int row = 0; row < 7; ++row) std::copy_n(image.row(5 + row) + 4 * 3, cropped.stride(), cropped.row(row));
    EXPECT_EQ(hash(image, region(3, 5, 11, 7)), hash(cropped, region(0, 0, 11, 7)));
}

TEST(RegionHash, OnlyPixelsInsideTheRegionCount) {
    const Image image = patterned(20, 12);
    const GuardRegion r = region(4, 3, 8, 5);
    const std::string before = hash(image, r);
    // The region's corners, and the pixels just outside each of its sides.
    for (auto [x, y] : {std::pair{4, 3}, {11, 3}, {4, 7}, {11, 7}})
        for (int c = 0; c < 4; ++c) {
            Image changed = image;
            changed.row(y)[4 * x + c] ^= 1;
            EXPECT_NE(hash(changed, r), before) << x << "," << y << " channel " << c;
        }
    for (auto [x, y] : {std::pair{3, 3}, {12, 7}, {4, 2}, {11, 8}}) {
        Image changed = image;
        for (int c = 0; c < 4; ++c) changed.row(y)[4 * x + c] ^= 0xFF;
        EXPECT_EQ(hash(changed, r), before) << x << "," << y;
    }
}

TEST(RegionHash, RegionRulesAtTheirBoundaries) {
    const Image image = patterned(30, 20);
    const std::string whole = hash(image, region(0, 0, 30, 20));
    EXPECT_EQ(hash(image, region(0.0, -0.0, 30.0, 20)), whole);
    EXPECT_EQ(hash(image, region(28, 18, 2, 2)), hash(image, region(28.0, 18, 2, 2)));
    EXPECT_EQ(hash(image, region(false, true, 3, 3)), hash(image, region(0, 1, 3, 3)));
    Object extra{{"x", 1}, {"y", 2}, {"width", 3}, {"height", 4}};
    const std::string plain = hash(image, guardRegion(extra));
    extra["hash"] = "0000";
    EXPECT_EQ(hash(image, guardRegion(extra)), plain);

    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const GuardRegion invalid[] = {
        region(0, 0, 31, 20), region(0, 0, 30, 21), region(1, 0, 30, 20), region(0, 1, 30, 20),  // outside
        region(0, 0, 1, 2),   region(0, 0, 2, 1),   region(0, 0, 0, 5),   region(0, 0, true, 3),  // too small
        region(-1, 0, 2, 2),  region(0, -1, 2, 2),  region(0, 0, 5, -3),                          // negative
        region(10.5, 0, 4, 4), region(0, 0, 4, 4.000001), region(inf, 0, 4, 4), region(0, 0, 4, -inf),
        region(nan, 0, 4, 4), region(1e300, 0, 4, 4), region(0, 0, 4, 1e300),  // not whole or not finite
        region("10", 0, 4, 4), region(0, nullptr, 4, 4), region(0, 0, Array{Value(4)}, 4),  // not numbers
        guardRegion({{"x", Value(0)}, {"y", Value(0)}, {"width", Value(4)}}),             // missing
    };
    for (const GuardRegion& r : invalid) EXPECT_EQ(testing::refusalOf([&] { hash(image, r); }), msg::invalidGuardRegion);
}

TEST(RegionHash, PictureWithoutItsPixelsIsRefused) {
    Image broken = patterned(10, 10);
    broken.rgba.resize(40);
    EXPECT_EQ(testing::refusalOf([&] { hash(broken, region(0, 0, 2, 2)); }), msg::invalidGuardImage);
}

TEST(RegionHash, SameHashAgreesWithComparingTheHashes) {
    // Every pixel of a picture changed in turn, inside and just outside the
    // region, and the refusals of `hash` for the picture compared.
    const Image hashed = patterned(12, 9);
    const GuardRegion r = region(2, 3, 7, 4);
    const std::string expected = hash(hashed, r);
    for (int y = 0; y < hashed.height; ++y)
        for (int x = 0; x < hashed.width; ++x) {
            Image live = hashed;
            live.row(y)[4 * x + (x + y) % 4] ^= 0x10;
            EXPECT_EQ(sameHash(live, hashed, r), hash(live, r) == expected) << x << "," << y;
        }
    EXPECT_TRUE(sameHash(hashed, hashed, r));
    EXPECT_EQ(testing::refusalOf([&] { sameHash(patterned(8, 9), hashed, r); }), msg::invalidGuardRegion);
    Image broken = hashed;
    broken.rgba.resize(40);
    EXPECT_EQ(testing::refusalOf([&] { sameHash(broken, hashed, r); }), msg::invalidGuardImage);
}

TEST(PngPayload, EncodesThePictureOrFailsAsCaptureEmpty) {
    const Image image = patterned(9, 4);
    const std::string bytes = png(image);
    std::optional<Image> back = image::decodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 9);
    EXPECT_EQ(back->height, 4);
    EXPECT_EQ(testing::refusalOf([] { png(Image()); }), msg::captureEmpty);
}

}  // namespace
}  // namespace quillgate
