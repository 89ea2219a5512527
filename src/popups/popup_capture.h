#pragma once
// The picture of a popup, for the host to show or read.

#include "core/context.h"
#include "platform/image.h"
#include "windows/popup_detection.h"

namespace quillgate {

// One screenshot of the popup window at its frame's size in whole points,
// waited for as long as the window capture's timer; there is no tool
// fallback. Refused with the waiting message while any screenshot is
// outstanding or when the timer wins, and with the popup-capture message when
// the service cannot see the window; the service's own errors pass unchanged.
Image capturePopup(Context& context, const PopupInfo& popup);

}  // namespace quillgate
