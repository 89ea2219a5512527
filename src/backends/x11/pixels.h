#pragma once
// X's 32-bit pixels (blue, green, red, then alpha or padding, in memory
// order on a little-endian server) as the core's premultiplied RGBA.

#include <cstddef>
#include <cstdint>

#include "platform/image.h"

namespace quillgate::x11 {

// Rows of stride bytes. Without alpha (a depth-24 window) the fourth byte is
// padding and every pixel is opaque; with it (depth 32) the pixels are
// already premultiplied, as X's ARGB visuals are.
Image rgbaFromBgrx(const uint8_t* pixels, size_t stride, int width, int height, bool hasAlpha);

}  // namespace quillgate::x11
