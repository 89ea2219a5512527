#include "popups/popup_capture.h"

#include <algorithm>
#include <memory>

#include "capture/capture.h"
#include "core/failure.h"

namespace quillgate {

Image capturePopup(Context& context, const PopupInfo& popup) {
    Platform& platform = *context.platform;
    // An outstanding screenshot may be hung behind the permission prompt; a
    // second one would hang with it.
    if (context.pendingCapture->pending()) reject(screenWaitingMessage(platform));
    try {
        // The shot may outlive this request, so it holds its own platform and
        // a copy of what it needs of the popup.
        return race(context, [shared = context.platform, id = popup.id, size = pixelSize(popup.rect)] {
            const auto shareable = shared->shareableWindows();
            const bool listed = std::any_of(shareable.begin(), shareable.end(),
                                            [&](const ShareableWindow& w) { return w.windowID == id; });
            if (!listed) reject(msg::popupCaptureUnavailable);
            return shared->popupScreenshot(id, size.width, size.height);
        });
    } catch (const CaptureTimeout&) {
        // A service that has not answered by now may never answer: the
        // request stops waiting, while the shot stays counted until it returns.
        reject(screenWaitingMessage(platform));
    }
}

}  // namespace quillgate
