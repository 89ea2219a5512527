#pragma once
// What the three popup operations begin with, once their gate has verified
// the bound window: the popup, or the answer that there is none; and what
// the two that act on it share.

#include <optional>

#include "platform/platform.h"
#include "windows/popup_detection.h"
#include "windows/window.h"

namespace quillgate {

// The popup over the bound window; with `ownDialogToo`, failing that, a
// dialog of the bound application wherever it is placed.
std::optional<PopupInfo> findPopup(Platform& platform, const Window& window, bool ownDialogToo);

// "found": false with the first windows overlapping the bound one, offsets
// relative to it, so the host can tell why nothing counted as a popup.
Object noPopup(Platform& platform, const Window& window);

// Asks the popup's application to come to the front, when it is running.
void activatePopupOwner(Platform& platform, const PopupInfo& popup);

}  // namespace quillgate
