#pragma once
// PNG encoding and decoding of window pictures.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/image.h"

namespace quillgate::image {

// Encodes a premultiplied RGBA picture as an 8-bit RGBA PNG (alpha
// un-premultiplied, as the format stores it). Empty on failure.
std::string encodePng(const Image& image);

// Bounds on a picture a decoder will accept from outside. They are checked
// against the header before any pixel memory is allocated, so a small file
// that claims a huge picture costs nothing.
struct DecodeLimits {
    int maxWidth = 16384;
    int maxHeight = 16384;
    int64_t maxPixels = int64_t{1} << 26;  // 256 MiB of decoded RGBA
};

// Decodes a PNG of any colour type and bit depth into premultiplied 8-bit
// RGBA. Absent when the bytes are not a PNG, are damaged, or exceed the limits.
std::optional<Image> decodePng(std::span<const uint8_t> bytes, const DecodeLimits& limits = {});

}  // namespace quillgate::image
