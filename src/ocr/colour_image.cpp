#include "colour_image.h"

#include "grey_image.h"

namespace lumascan {

std::optional<ColourImage> decodeColour(std::span<const std::byte> encoded) {
    if (encoded.empty()) return std::nullopt;
    PixPtr pix(pixReadMem(reinterpret_cast<const l_uint8*>(encoded.data()), encoded.size()));
    if (pix && pixGetSpp(pix.get()) == 4) pix.reset(pixAlphaBlendUniform(pix.get(), 0xffffff00));
    if (pix) pix.reset(pixConvertTo32(pix.get()));
    if (!pix) return std::nullopt;
    ColourImage image;
    image.width = static_cast<int>(pixGetWidth(pix.get()));
    image.height = static_cast<int>(pixGetHeight(pix.get()));
    if (image.width <= 0 || image.height <= 0) return std::nullopt;
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    const l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    auto* out = image.rgb.data();
    for (int y = 0; y < image.height; ++y) {
        const l_uint32* row = data + static_cast<std::ptrdiff_t>(y) * wpl;
        for (int x = 0; x < image.width; ++x) {
            l_int32 r = 0, g = 0, b = 0;
            extractRGBValues(row[x], &r, &g, &b);
            *out++ = static_cast<std::uint8_t>(r);
            *out++ = static_cast<std::uint8_t>(g);
            *out++ = static_cast<std::uint8_t>(b);
        }
    }
    return image;
}

}  // namespace lumascan
