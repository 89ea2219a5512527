#pragma once
// A picture of a window: 8-bit RGBA, alpha premultiplied, rows top to bottom,
// no padding between rows.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillgate {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4 bytes

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4) {}
    size_t stride() const { return static_cast<size_t>(width) * 4; }
    const uint8_t* row(int y) const { return rgba.data() + static_cast<size_t>(y) * stride(); }
    uint8_t* row(int y) { return rgba.data() + static_cast<size_t>(y) * stride(); }
};

}  // namespace quillgate
