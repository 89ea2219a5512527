#include "popups/popup_capture.h"

#include <algorithm>

#include "capture/capture.h"
#include "core/failure.h"

namespace quillgate {

Image capturePopup(Context& context, const PopupInfo& popup) {
    Platform& platform = *context.platform;
    // An outstanding screenshot may be hung behind the permission prompt; a
    // second one would hang this request with it.
    if (context.pendingCapture->pending()) reject(screenWaitingMessage(platform));
    return trackedSCK(context, [&] {
        const auto shareable = platform.shareableWindows();
        const bool listed = std::any_of(shareable.begin(), shareable.end(),
                                        [&](const ShareableWindow& w) { return w.windowID == popup.id; });
        if (!listed) reject(msg::popupCaptureUnavailable);
        const PixelSize size = pixelSize(popup.rect);
        return platform.popupScreenshot(popup.id, size.width, size.height);
    });
}

}  // namespace quillgate
