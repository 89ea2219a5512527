#include "capture/capture_operations.h"

#include "capture/capture.h"
#include "capture/encoding.h"
#include "core/failure.h"
#include "core/values.h"
#include "image/base64.h"
#include "image/png.h"
#include "windows/accessibility.h"
#include "windows/verification.h"

namespace quillgate {
namespace {

// The host's picture of the whole window, exactly the window's size. The
// decoder is told that size up front, so a file claiming a larger picture
// is refused before any pixel memory is spent on it.
Image reference(const GatedCall& call) {
    const auto bytes = image::base64Decode(text(member(call.request, "reference")));
    if (!bytes) reject(msg::invalidReference);
    const PixelSize size = pixelSize(call.window.rect);
    const image::DecodeLimits limits{size.width, size.height, int64_t{size.width} * size.height};
    auto picture = image::decodePng(*bytes, limits);
    if (!picture || picture->width != size.width || picture->height != size.height) reject(msg::invalidReference);
    return std::move(*picture);
}

}  // namespace

Object checkOperation(const GatedCall&) { return Object{}; }

Object captureOperation(const GatedCall& call) {
    const Image picture = capture(call.context, call.window);
    // The frame must not have moved while the picture was taken.
    requireUnmoved(call.platform(), call.bound, call.window.rect);
    return Object{{"base64", image::base64Encode(png(picture))}, {"width", picture.width}, {"height", picture.height}};
}

Object bindRegionOperation(const GatedCall& call) {
    const Object* region = objectAt(call.request, "region");
    if (!region) reject(msg::invalidReference);
    // The reference is checked in full before anything is captured.
    const std::string expected = hash(reference(call), *region);
    const Image live = capture(call.context, call.window);
    if (hash(live, *region) != expected) reject(msg::headerChangedSinceVerification);
    requireUnmoved(call.platform(), call.bound, call.window.rect);
    Object guard = *region;
    guard.insert_or_assign("hash", expected);
    return Object{{"guard", std::move(guard)}};
}

}  // namespace quillgate
