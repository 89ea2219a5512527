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

// Decodes a PNG of any colour type, bit depth and interlacing into
// premultiplied 8-bit RGBA. Absent when the bytes are not a PNG, are damaged,
// or exceed the limits.
std::optional<Image> decodePng(std::span<const uint8_t> bytes, const DecodeLimits& limits = {});

// The same into `image`, whose buffer is reused: a caller that decodes
// picture after picture of one size allocates once. On failure `image` holds
// no meaningful picture.
bool decodePng(std::span<const uint8_t> bytes, const DecodeLimits& limits, Image& image);

// The same, but only the picture's top `rows` rows (all when it has fewer)
// are reconstructed into `image`, for a caller that reads a strip from the
// top; the whole file is still read and checked, so a damaged picture is
// refused all the same. `height` receives the whole picture's height.
bool decodePngTop(std::span<const uint8_t> bytes, const DecodeLimits& limits, int rows, Image& image, int& height);

}  // namespace quillgate::image
