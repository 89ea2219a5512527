// The scaler behind resample() on macOS: Core Graphics at its high
// interpolation quality, the way both capture paths scale (core_graphics.h).

#include "image/scale.h"

#include <new>

#include "image/core_graphics.h"

namespace quillgate::image {

using macos::CfRef;

Image scale(const Image& source, int width, int height) {
    // The Image's own layout: RGBA bytes, premultiplied alpha.
    const CGBitmapInfo layout = static_cast<CGBitmapInfo>(kCGImageAlphaPremultipliedLast) | kCGBitmapByteOrder32Big;
    const CfRef<CGColorSpaceRef> space(CGColorSpaceCreateDeviceRGB());
    const CfRef<CGDataProviderRef> pixels(
        CGDataProviderCreateWithData(nullptr, source.rgba.data(), source.rgba.size(), nullptr));
    const CfRef<CGImageRef> picture(CGImageCreate(static_cast<size_t>(source.width),
                                                  static_cast<size_t>(source.height), 8, 32, source.stride(),
                                                  space.get(), layout, pixels.get(), nullptr, false,
                                                  kCGRenderingIntentDefault));
    Image scaled = drawnImage(picture.get(), width, height);
    if (scaled.width == 0) throw std::bad_alloc();  // with valid sizes, its only failure
    return scaled;
}

}  // namespace quillgate::image
