#include "backends/x11/pixels.h"

namespace quillgate::x11 {

Image rgbaFromBgrx(const uint8_t* pixels, size_t stride, int width, int height, bool hasAlpha) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * stride;
        uint8_t* out = image.row(y);
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = hasAlpha ? in[3] : 0xff;
        }
    }
    return image;
}

}  // namespace quillgate::x11
