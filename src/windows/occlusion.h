#pragma once
// What covers the bound window: the window in front of it at a point, and
// whether a region of it is wholly uncovered. Some windows the window server
// lists in front never count as covering: the pointer's own small window, the
// Dock's full-display overlay, and a notification window through which the
// accessibility hit test reaches the bound application.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "windows/window.h"
#include "windows/window_entry.h"

namespace quillgate {

// One on-screen window as the region tests see it.
struct VisibleLayer {
    uint32_t id = 0;    // window number
    Rect rect;          // frame in global points
    std::string owner;  // "" when the list gives none
};

// A window the window server lists in front that nothing is ever hidden
// behind: the cursor window, or the Dock's overlay covering a whole display.
// `rect` is the entry's bounds.
bool isPassThroughOverlay(Platform& platform, const WindowEntry& entry, const Rect& rect,
                          const std::vector<Rect>& displays);

// Notification banners and alerts, by their owner's name.
bool isNotificationOwner(std::string_view owner);

// The process owning the accessibility element at a screen point; nothing
// when the hit test fails.
std::optional<int32_t> hitPid(Platform& platform, Point point);

// The on-screen windows front to back, the pass-through ones left out; empty
// when the list cannot be read. With both a probe point and a target pid, a
// display-sized notification window through which the probe hits the target
// is left out too.
std::vector<VisibleLayer> visibleLayers(Platform& platform, std::optional<Point> probe,
                                        std::optional<int32_t> targetPid);

// Whether window `id` is listed and holds all of `region` with no layer in
// front of it touching the region.
bool regionIsVisible(uint32_t id, const Rect& region, const std::vector<VisibleLayer>& layers);

// The name of the front-most layer in front of window `id` that touches the
// region, cleaned for a one-line message; "" when there is none.
std::string regionOccluder(uint32_t id, const Rect& region, const std::vector<VisibleLayer>& layers);

// What occluder() names a point that lies on no display: input sent there
// would land on the edge of the screen instead.
inline constexpr std::string_view offscreenOccluder = "offscreen";

// Nothing when the bound window is the front-most window at the point (or,
// with ignoreOwnPopup, the bound application's own popup is); otherwise what
// covers it: owner, layer and size, "none", "unknown" or "offscreen" (the
// point is on no display). Every text means covered.
std::optional<std::string> occluder(Platform& platform, const Window& window, Point point,
                                    bool ignoreOwnPopup = false);

}  // namespace quillgate
