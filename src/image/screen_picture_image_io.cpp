#include <ImageIO/ImageIO.h>

#include "image/core_graphics.h"
#include "image/screen_picture.h"

namespace quillgate::image {

using macos::CfRef;

std::optional<Image> screenPicture(std::span<const uint8_t> png, int width, int height) {
    // The bytes are read in place; they outlive every object made of them here.
    const CfRef<CFDataRef> data(
        CFDataCreateWithBytesNoCopy(nullptr, png.data(), static_cast<CFIndex>(png.size()), kCFAllocatorNull));
    if (!data) return std::nullopt;
    const CfRef<CGImageSourceRef> source(CGImageSourceCreateWithData(data.get(), nullptr));
    if (!source || CGImageSourceGetCount(source.get()) < 1) return std::nullopt;
    const CfRef<CGImageRef> picture(CGImageSourceCreateImageAtIndex(source.get(), 0, nullptr));
    if (!picture) return std::nullopt;
    // Drawing converts from the file's profile to the bitmap's colour space.
    return drawnImage(picture.get(), width, height);
}

}  // namespace quillgate::image
