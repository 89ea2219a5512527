#include "windows/occlusion.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/characters.h"
#include "windows/accessibility.h"
#include "windows/geometry.h"
#include "windows/inventory.h"
#include "windows/popup_detection.h"
#include "windows/window_entry.h"

namespace quillgate {

namespace {

constexpr std::array<std::string_view, 3> notificationOwners{"通知中心", "NotificationCenter", "UserNotificationCenter"};

// The cursor window is small; anything larger at that level is a real window.
constexpr double cursorWindowMaximum = 128;
// A floating window of the bound application up to this size is a tooltip or
// a transient panel that a pointer move usually dismisses.
constexpr double transientMaximum = 160;
constexpr size_t occluderNameLength = 40;

bool coversDisplay(const Rect& rect, const std::vector<Rect>& displays) {
    return std::any_of(displays.begin(), displays.end(), [&](const Rect& d) { return near(d, rect); });
}

// Notification windows span a whole display, wherever it is placed.
bool hasDisplaySize(const Rect& rect, const std::vector<Rect>& displays) {
    return std::any_of(displays.begin(), displays.end(), [&](const Rect& d) {
        return std::fabs(rectWidth(d) - rectWidth(rect)) < 1 && std::fabs(rectHeight(d) - rectHeight(rect)) < 1;
    });
}

bool opaque(const WindowEntry& entry) { return entry.alpha && *entry.alpha > 0; }

// An owner name fit for the tail of a one-line refusal: no line breaks, no
// ";" (the separator of refusal suffixes), at most 40 characters.
std::string oneLineName(const std::string& owner) {
    std::string cleaned;
    cleaned.reserve(owner.size());
    for (size_t i = 0; i < owner.size(); ++i) {
        const char c = owner[i];
        if (c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ';') continue;
        if (owner.compare(i, 2, "\u0085") == 0) {
            ++i;
            continue;
        }
        if (owner.compare(i, 3, "\u2028") == 0 || owner.compare(i, 3, "\u2029") == 0) {
            i += 2;
            continue;
        }
        cleaned.push_back(c);
    }
    return firstCharacters(cleaned, occluderNameLength);
}

std::string occluderText(const WindowEntry& entry, const Rect& rect, const Window& window) {
    const int64_t layer = entry.wholeLayer();
    std::string result = (entry.owner.empty() ? std::string("unknown") : entry.owner) +
                         " layer=" + std::to_string(layer) + " size=" + std::to_string(wholePart(rectWidth(rect))) +
                         "x" + std::to_string(wholePart(rectHeight(rect)));
    if (layer >= 1 && rectWidth(rect) <= transientMaximum && rectHeight(rect) <= transientMaximum &&
        entry.pid == window.pid) {
        result += " same-app-transient";
    }
    return result;
}

}  // namespace

bool isPassThroughOverlay(Platform& platform, const WindowEntry& entry, const Rect& rect,
                          const std::vector<Rect>& displays) {
    const auto& layer = entry.layer;
    if (entry.owner == "Window Server" && layer && *layer >= static_cast<double>(platform.cursorWindowLevel()) &&
        rectWidth(rect) <= cursorWindowMaximum && rectHeight(rect) <= cursorWindowMaximum) {
        return true;
    }
    if (!entry.pid || !layer || !(*layer > 0)) return false;
    auto app = platform.runningApplication(*entry.pid);
    return app && app->bundle == "com.apple.dock" && coversDisplay(rect, displays);
}

bool isNotificationOwner(std::string_view owner) {
    return std::any_of(notificationOwners.begin(), notificationOwners.end(),
                       [&](std::string_view prefix) { return owner.starts_with(prefix); });
}

std::optional<int32_t> hitPid(Platform& platform, Point point) {
    // The hit test takes single-precision coordinates.
    const Point asked{static_cast<float>(point.x), static_cast<float>(point.y)};
    AxResult hit = platform.elementAtPosition(platform.systemWideElement(), asked);
    const Element* element = hit.ok() ? hit.value.asElement() : nullptr;
    if (!element || !*element) return std::nullopt;
    return platform.pidOfElement(*element);
}

std::vector<VisibleLayer> visibleLayers(Platform& platform, std::optional<Point> probe,
                                        std::optional<int32_t> targetPid) {
    std::vector<VisibleLayer> layers;
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return layers;
    const std::vector<Rect> displays = displayFrames(platform);
    for (WindowEntry& entry : *entries) {
        if (!opaque(entry) || !entry.number || !entry.bounds) continue;
        const Rect& rect = *entry.bounds;
        if (isPassThroughOverlay(platform, entry, rect, displays)) continue;
        if (probe && targetPid && isNotificationOwner(entry.owner) && hasDisplaySize(rect, displays) &&
            hitPid(platform, *probe) == targetPid) {
            continue;
        }
        layers.push_back(VisibleLayer{*entry.number, rect, std::move(entry.owner)});
    }
    return layers;
}

bool regionIsVisible(uint32_t id, const Rect& region, const std::vector<VisibleLayer>& layers) {
    if (isEmpty(region)) return false;
    for (const VisibleLayer& layer : layers) {
        if (layer.id == id) return contains(layer.rect, region);
        if (intersects(layer.rect, region)) return false;
    }
    return false;
}

std::string regionOccluder(uint32_t id, const Rect& region, const std::vector<VisibleLayer>& layers) {
    for (const VisibleLayer& layer : layers) {
        if (layer.id == id) break;
        if (intersects(layer.rect, region)) return oneLineName(layer.owner);
    }
    return {};
}

std::optional<std::string> occluder(Platform& platform, const Window& window, Point point, bool ignoreOwnPopup) {
    // The displays first: the window list is what changes when a window
    // appears, so it is read last, right before the caller acts on the answer.
    const std::vector<Rect> displays = displayFrames(platform);
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return "unknown";
    // Input meant for a point beyond every display lands on the nearest edge,
    // wherever that is: such a point is never clear.
    if (std::none_of(displays.begin(), displays.end(), [&](const Rect& d) { return contains(d, point); })) {
        return std::string(offscreenOccluder);
    }
    if (entries->empty()) return "none";
    std::optional<std::optional<PopupInfo>> popup;  // looked up once, when first needed
    for (const WindowEntry& entry : *entries) {
        if (!opaque(entry) || !entry.bounds) continue;
        const Rect& rect = *entry.bounds;
        if (!contains(rect, point) || isPassThroughOverlay(platform, entry, rect, displays)) continue;
        if (entry.number == window.id) return std::nullopt;
        if (ignoreOwnPopup) {
            // The bound application's own popup counts as part of it.
            if (!popup) popup = popupWindow(platform, window);
            const std::optional<PopupInfo>& own = *popup;
            if (own && own->pid == window.pid && entry.number == own->id) return std::nullopt;
        }
        if (isNotificationOwner(entry.owner) && hitPid(platform, point) == window.pid) continue;
        return occluderText(entry, rect, window);
    }
    return "none";
}

}  // namespace quillgate
