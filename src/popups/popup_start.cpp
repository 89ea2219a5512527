#include "popups/popup_start.h"

#include "windows/inventory.h"

namespace quillgate {

namespace {

constexpr size_t debugEntries = 12;

}  // namespace

std::optional<PopupInfo> findPopup(Platform& platform, const Window& window, bool ownDialogToo) {
    if (auto popup = popupWindow(platform, window)) return popup;
    if (ownDialogToo) return ownDialogWindow(platform, window);
    return std::nullopt;
}

Object noPopup(Platform& platform, const Window& window) {
    Array debug;
    for (const OverlapWindow& entry : overlapWindows(platform, window)) {
        if (debug.size() == debugEntries) break;
        debug.emplace_back(Object{
            {"owner", entry.owner},
            {"pid", entry.pid},
            {"layer", entry.layer},
            {"x", wholePart(entry.rect.x - window.rect.x)},
            {"y", wholePart(entry.rect.y - window.rect.y)},
            {"w", wholePart(entry.rect.width)},
            {"h", wholePart(entry.rect.height)},
            {"alpha", entry.alpha},
        });
    }
    return Object{{"found", false}, {"debug", std::move(debug)}};
}

void activatePopupOwner(Platform& platform, const PopupInfo& popup) {
    if (platform.runningApplication(popup.pid)) platform.activate(popup.pid);
}

}  // namespace quillgate
