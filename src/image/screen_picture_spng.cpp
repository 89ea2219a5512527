#include "image/png.h"
#include "image/resample.h"
#include "image/screen_picture.h"

namespace quillgate::image {

std::optional<Image> screenPicture(std::span<const uint8_t> png, int width, int height) {
    const auto decoded = decodePng(png);
    if (!decoded) return std::nullopt;
    if (width < 1 || height < 1) return Image{};
    return resample(*decoded, width, height);
}

}  // namespace quillgate::image
