#include "image/core_graphics.h"

#include <limits>

namespace quillgate::image {

using macos::CfRef;

namespace {

const CGBitmapInfo rgbaLayout = static_cast<CGBitmapInfo>(kCGImageAlphaPremultipliedLast) | kCGBitmapByteOrder32Big;

}  // namespace

Image drawnImage(CGImageRef picture, int width, int height) {
    if (!picture || width < 1 || height < 1) return {};
    Image pixels(width, height);
    const CfRef<CGColorSpaceRef> space(CGColorSpaceCreateDeviceRGB());
    const CfRef<CGContextRef> canvas(CGBitmapContextCreate(pixels.rgba.data(), static_cast<size_t>(width),
                                                           static_cast<size_t>(height), 8, pixels.stride(),
                                                           space.get(), rgbaLayout));
    if (!canvas) return {};
    CGContextSetInterpolationQuality(canvas.get(), kCGInterpolationHigh);
    CGContextSetBlendMode(canvas.get(), kCGBlendModeCopy);
    CGContextDrawImage(canvas.get(), CGRectMake(0, 0, width, height), picture);
    return pixels;
}

Image rgbaImage(CGImageRef picture) {
    if (!picture) return {};
    const size_t width = CGImageGetWidth(picture);
    const size_t height = CGImageGetHeight(picture);
    constexpr size_t largest = std::numeric_limits<int>::max();
    if (width > largest || height > largest) return {};
    return drawnImage(picture, static_cast<int>(width), static_cast<int>(height));
}

}  // namespace quillgate::image
