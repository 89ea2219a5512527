#include "capture/capture_operations.h"

#include <cmath>
#include <limits>
#include <vector>

#include "capture/capture.h"
#include "capture/encoding.h"
#include "core/failure.h"
#include "core/trace.h"
#include "core/values.h"
#include "image/base64.h"
#include "image/png.h"
#include "windows/accessibility.h"
#include "windows/verification.h"

namespace quillgate {
namespace {

// How many rows from the top the region reaches, when that can be told;
// the region itself is judged by `hash`.
int rowsReached(const GuardRegion& region) {
    const auto &y = region.y, &height = region.height;
    if (!y || !height || !(*y >= 0) || !(*height >= 0) || *y + *height >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(std::ceil(*y + *height));
}

// The reference's PNG bytes into `bytes`; false when its text is not strict
// Base64. A picture still on the request line is decoded from the text
// itself, the solidus escapes of its Base64 read as they come; a string with
// any other escape, or one already read, is decoded from its value.
bool referenceBytes(const Value* reference, std::vector<uint8_t>& bytes) {
    if (const std::string_view* json = reference ? reference->unreadString() : nullptr) {
        switch (image::base64DecodeJson(json->substr(1, json->size() - 2), bytes)) {
            case image::JsonBase64::decoded: return true;
            case image::JsonBase64::invalid: return false;
            case image::JsonBase64::otherEscape: break;
        }
    }
    auto decoded = image::base64Decode(text(reference));
    if (!decoded) return false;
    bytes = std::move(*decoded);
    return true;
}

// The host's picture of the whole window, exactly the window's size. The
// decoder is told that size up front, so a file claiming a larger picture
// is refused before any pixel memory is spent on it. The whole file is
// checked, but only the rows down to the region's bottom are reconstructed:
// the hash reads nothing below them. The buffer is kept for the next
// "bind-region", which is nearly always of the same window, so megabytes are
// not allocated and touched for the first time again.
const Image& reference(const GatedCall& call, const GuardRegion& region) {
    thread_local Image picture;
    thread_local std::vector<uint8_t> bytes;
    if (!referenceBytes(member(call.request, "reference"), bytes)) reject(msg::invalidReference);
    const PixelSize size = pixelSize(call.window.rect);
    const image::DecodeLimits limits{size.width, size.height, int64_t{size.width} * size.height};
    int height = 0;
    const bool decoded =
        timed(Stage::pngDecode, [&] { return image::decodePngTop(bytes, limits, rowsReached(region), picture, height); });
    if (!decoded || picture.width != size.width || height != size.height)
        reject(msg::invalidReference);
    return picture;
}

}  // namespace

Object checkOperation(const GatedCall&) { return Object{}; }

Object captureOperation(const GatedCall& call) {
    const Image picture = capture(call.context, call.window);
    // The frame must not have moved while the picture was taken.
    requireUnmoved(call.platform(), call.bound, call.window.rect);
    // Moved in, not listed in an initializer: the payload is megabytes.
    Object answer{{"width", picture.width}, {"height", picture.height}};
    answer.emplace("base64", Bytes{png(picture)});
    return answer;
}

Object bindRegionOperation(const GatedCall& call) {
    const Object* region = objectAt(call.request, "region");
    if (!region) reject(msg::invalidReference);
    const GuardRegion pinned = guardRegion(*region);
    // The reference is checked in full before anything is captured.
    const Image& picture = reference(call, pinned);
    const std::string expected = hash(picture, pinned);
    const Image live = capture(call.context, call.window);
    if (!sameHash(live, picture, pinned)) reject(msg::headerChangedSinceVerification);
    requireUnmoved(call.platform(), call.bound, call.window.rect);
    Object guard = *region;
    guard.insert_or_assign("hash", expected);
    return Object{{"guard", std::move(guard)}};
}

}  // namespace quillgate
