#include "windows/popup_detection.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "windows/geometry.h"
#include "windows/occlusion.h"
#include "windows/window_entry.h"

namespace quillgate {

namespace {

// System surfaces that float over everything but are never the chat
// application's popup.
constexpr std::array<std::string_view, 7> popupExcludedOwners{
    "程序坞", "Dock", "Window Server", "控制中心", "Control Center", "聚焦", "Spotlight",
};

// Above this layer sit the menu bar, menus, the Dock and system overlays;
// the chat application's popups and dialogs stay at or below it.
constexpr int64_t popupMaxLayer = 25;

// The size of a popup over the bound window, in points.
struct PopupSize {
    double minSide;       // in both directions; smaller is a tooltip or a hover card
    double maxWidth;      // wider is a second main window, not a panel
    double maxHeight;     // taller only as the bound application's own side panel...
    double sidePanelRise; // ...at most this much taller than the bound window
    double maxAreaShare;  // of the bound window's area; more is a window of its own
};
constexpr PopupSize popupSize{.minSide = 140, .maxWidth = 760, .maxHeight = 980, .sidePanelRise = 40, .maxAreaShare = 0.6};

// A dialog of the bound process anywhere on screen (a confirmation, a
// settings sheet): neither a tooltip nor a second main window.
struct DialogSize {
    double minSide;
    double maxWidth;
    double maxHeight;
};
constexpr DialogSize dialogSize{.minSide = 160, .maxWidth = 900, .maxHeight = 1100};

// The three keys every candidate needs; nothing when one is missing.
struct Listed {
    int32_t pid;
    uint32_t id;
    Rect rect;
};

std::optional<Listed> listed(const WindowEntry& entry) {
    if (!entry.pid || !entry.number || !entry.bounds) return std::nullopt;
    return Listed{*entry.pid, *entry.number, *entry.bounds};
}

bool looksLikePopup(const OverlapWindow& entry, const Window& window, int32_t self) {
    if (entry.pid == self) return false;
    if (!(entry.alpha > 0)) return false;
    if (entry.layer > popupMaxLayer) return false;
    if (isNotificationOwner(entry.owner)) return false;
    if (std::find(popupExcludedOwners.begin(), popupExcludedOwners.end(), entry.owner) != popupExcludedOwners.end()) {
        return false;
    }
    const double width = rectWidth(entry.rect);
    const double height = rectHeight(entry.rect);
    if (!(width >= popupSize.minSide && height >= popupSize.minSide)) return false;
    if (!(width <= popupSize.maxWidth)) return false;
    if (!(height <= popupSize.maxHeight) &&
        !(entry.pid == window.pid && height <= rectHeight(window.rect) + popupSize.sidePanelRise)) {
        return false;
    }
    return width * height < popupSize.maxAreaShare * (rectWidth(window.rect) * rectHeight(window.rect));
}

}  // namespace

std::vector<OverlapWindow> overlapWindows(Platform& platform, const Window& window) {
    std::vector<OverlapWindow> result;
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return result;
    for (WindowEntry& entry : *entries) {
        auto w = listed(entry);
        if (!w || w->id == window.id || !intersects(w->rect, window.rect)) continue;
        result.push_back(OverlapWindow{std::move(entry.owner), w->pid, entry.wholeLayer(), w->rect, w->id,
                                       entry.alpha.value_or(1.0)});
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
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return std::nullopt;
    for (const WindowEntry& entry : *entries) {
        auto w = listed(entry);
        if (!w || w->pid != window.pid || w->id == window.id) continue;
        if (entry.wholeLayer() > popupMaxLayer) continue;
        const double width = rectWidth(w->rect);
        const double height = rectHeight(w->rect);
        if (width >= dialogSize.minSide && height >= dialogSize.minSide && width <= dialogSize.maxWidth &&
            height <= dialogSize.maxHeight) {
            return PopupInfo{w->id, w->pid, w->rect};
        }
    }
    return std::nullopt;
}

}  // namespace quillgate
