#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumascan {

// An 8-bit RGB picture, rows top to bottom, three bytes a pixel.
struct ColourImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* pixel(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// An axis-aligned pixel box; right and bottom are exclusive.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// Decodes an encoded image (whatever Leptonica reads) into RGB. Transparent
// areas become white, as the user saw them. Nullopt when the bytes are no image.
std::optional<ColourImage> decodeColour(std::span<const std::byte> encoded);

}  // namespace lumascan
