#include "platform/macos/rgba_image.h"

#include <limits>

#include "platform/macos/cf_ref.h"

namespace quillgate::macos {

Image rgbaImage(CGImageRef image) {
    if (!image) return {};
    const size_t width = CGImageGetWidth(image);
    const size_t height = CGImageGetHeight(image);
    constexpr size_t largest = std::numeric_limits<int>::max();
    if (width == 0 || height == 0 || width > largest || height > largest) return {};

    Image pixels(static_cast<int>(width), static_cast<int>(height));
    CfRef<CGColorSpaceRef> space(CGColorSpaceCreateDeviceRGB());
    // Bytes R, G, B, A in memory: the layout the region hashes are taken of.
    const CGBitmapInfo layout = static_cast<CGBitmapInfo>(kCGImageAlphaPremultipliedLast) | kCGBitmapByteOrder32Big;
    CfRef<CGContextRef> context(
        CGBitmapContextCreate(pixels.rgba.data(), width, height, 8, pixels.stride(), space.get(), layout));
    if (!context) return {};
    CGContextDrawImage(context.get(), CGRectMake(0, 0, width, height), image);
    return pixels;
}

}  // namespace quillgate::macos
