#include "capture/guard.h"

#include "capture/capture.h"
#include "capture/encoding.h"
#include "core/failure.h"
#include "windows/accessibility.h"
#include "windows/geometry.h"
#include "windows/occlusion.h"
#include "windows/verification.h"

namespace quillgate {
namespace {

// The guard region, valid once hashed, moved to screen coordinates.
Rect screenRegion(const Window& window, const GuardRegion& guard) {
    return Rect{window.rect.x + guard.x.value_or(0), window.rect.y + guard.y.value_or(0), guard.width.value_or(0),
                guard.height.value_or(0)};
}

void requireUncovered(Platform& platform, const Window& window, const GuardRegion& guard) {
    const Rect region = screenRegion(window, guard);
    const Point middle = centre(region);
    const std::vector<VisibleLayer> layers = visibleLayers(platform, middle, window.pid);
    if (regionIsVisible(window.id, region, layers)) return;
    std::string message(msg::headerObscured);
    const std::string occluder = regionOccluder(window.id, region, layers);
    if (!occluder.empty()) message += "; occluder=" + occluder;
    reject(message);
}

}  // namespace

Window check(Context& context, const Binding& bound, bool focus) {
    Platform& platform = *context.platform;
    const Window first = current(platform, bound, focus);
    // Pixels are compared before coverage is examined.
    if (const auto& guard = bound.guard) {
        const Image image = capture(context, first);
        if (hash(image, guard->region) != guard->hash) reject(msg::headerChanged);
        requireUncovered(platform, first, guard->region);
    }
    // The last verification comes immediately before the caller acts.
    return requireUnmoved(platform, bound, first.rect, focus);
}

}  // namespace quillgate
