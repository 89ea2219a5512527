#include "backends/x11/pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillgate::x11 {
namespace {

TEST(X11Pixels, BgrxBecomesOpaqueRgbaAndRowPaddingIsSkipped) {
    // Two pixels a row, rows 12 bytes apart (4 bytes of padding).
    const std::vector<uint8_t> bgrx{
        0x10, 0x20, 0x30, 0x00, 0x01, 0x02, 0x03, 0x99, 0xEE, 0xEE, 0xEE, 0xEE,
        0xA0, 0xB0, 0xC0, 0x55, 0xFF, 0x00, 0x7F, 0x00, 0xEE, 0xEE, 0xEE, 0xEE,
    };
    const Image image = rgbaFromBgrx(bgrx.data(), 12, 2, 2, false);
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.rgba, (std::vector<uint8_t>{0x30, 0x20, 0x10, 0xFF, 0x03, 0x02, 0x01, 0xFF,  //
                                                0xC0, 0xB0, 0xA0, 0xFF, 0x7F, 0x00, 0xFF, 0xFF}));
}

TEST(X11Pixels, DepthThirtyTwoKeepsItsPremultipliedAlpha) {
    const std::vector<uint8_t> bgra{0x20, 0x40, 0x60, 0x80};
    const Image image = rgbaFromBgrx(bgra.data(), 4, 1, 1, true);
    EXPECT_EQ(image.rgba, (std::vector<uint8_t>{0x60, 0x40, 0x20, 0x80}));
}

}  // namespace
}  // namespace quillgate::x11
