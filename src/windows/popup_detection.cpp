#include "windows/popup_detection.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/values.h"
#include "windows/geometry.h"
#include "windows/inventory.h"
#include "windows/occlusion.h"

namespace quillgate {

namespace {

// System surfaces that float over everything but are never the chat
// application's popup.
constexpr std::array<std::string_view, 7> popupExcludedOwners{
    "程序坞", "Dock", "Window Server", "控制中心", "Control Center", "聚焦", "Spotlight",
};

// The three keys every candidate needs; nothing when one is missing.
struct Listed {
    int32_t pid;
    uint32_t id;
    Rect rect;
};

std::optional<Listed> listed(const Value& entry) {
    auto pid = number(entry.find("kCGWindowOwnerPID"));
    if (!pid) return std::nullopt;
    auto id = number(entry.find("kCGWindowNumber"));
    if (!id) return std::nullopt;
    auto rect = boundsRect(entry.find("kCGWindowBounds"));
    if (!rect) return std::nullopt;
    return Listed{processId(*pid), windowNumber(*id), *rect};
}

bool looksLikePopup(const OverlapWindow& entry, const Window& window, int32_t self) {
    if (entry.pid == self) return false;
    if (!(entry.alpha > 0)) return false;
    if (entry.layer > 25) return false;
    if (isNotificationOwner(entry.owner)) return false;
    if (std::find(popupExcludedOwners.begin(), popupExcludedOwners.end(), entry.owner) != popupExcludedOwners.end()) {
        return false;
    }
    const double width = rectWidth(entry.rect);
    const double height = rectHeight(entry.rect);
    if (!(width >= 140 && height >= 140)) return false;
    if (!(width <= 760)) return false;
    // A tall window counts only when it is the bound application's own and
    // barely taller than the bound window (a full-height side panel).
    if (!(height <= 980) && !(entry.pid == window.pid && height <= rectHeight(window.rect) + 40)) return false;
    return width * height < 0.6 * (rectWidth(window.rect) * rectHeight(window.rect));
}

}  // namespace

std::vector<OverlapWindow> overlapWindows(Platform& platform, const Window& window) {
    std::vector<OverlapWindow> result;
    auto entries = windowDictionaries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return result;
    for (const Value& entry : *entries) {
        auto w = listed(entry);
        if (!w || w->id == window.id || !intersects(w->rect, window.rect)) continue;
        auto alpha = number(entry.find("kCGWindowAlpha"));
        result.push_back(OverlapWindow{ownerOf(entry), w->pid, layerOf(entry), w->rect, w->id,
                                       alpha.value_or(1.0)});
    }
    return result;
}

std::optional<PopupInfo> popupWindow(Platform& platform, const Window& window) {
    const int32_t self = platform.ownPid();
    for (const OverlapWindow& entry : overlapWindows(platform, window)) {
        if (looksLikePopup(entry, window, self)) return PopupInfo{entry.id, entry.pid, entry.rect};
    }
    return std::nullopt;
}

std::optional<PopupInfo> ownDialogWindow(Platform& platform, const Window& window) {
    auto entries = windowDictionaries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return std::nullopt;
    for (const Value& entry : *entries) {
        auto w = listed(entry);
        if (!w || w->pid != window.pid || w->id == window.id) continue;
        if (layerOf(entry) > 25) continue;
        const double width = rectWidth(w->rect);
        const double height = rectHeight(w->rect);
        if (width >= 160 && height >= 160 && width <= 900 && height <= 1100) return PopupInfo{w->id, w->pid, w->rect};
    }
    return std::nullopt;
}

}  // namespace quillgate
