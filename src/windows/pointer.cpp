#include "windows/pointer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>

#include "core/failure.h"
#include "core/trace.h"
#include "core/values.h"
#include "windows/occlusion.h"

namespace quillgate {

namespace {

// The close, minimise and zoom buttons sit in this corner of the frame.
constexpr double titleButtonsWidth = 84;
constexpr double titleButtonsHeight = 30;

constexpr int notificationTries = 12;
constexpr double notificationPause = 0.5;
constexpr int transientTries = 10;
constexpr double transientPause = 0.3;
constexpr std::string_view transientSuffix = "same-app-transient";

// The user's own input that counts as activity: key down and up, pointer
// moves, left and right presses, scrolling and drags. Button releases and
// modifier changes do not.
constexpr std::array<uint32_t, 8> activityEvents{
    eventType::keyDown,        eventType::keyUp,       eventType::mouseMoved,       eventType::leftMouseDown,
    eventType::rightMouseDown, eventType::scrollWheel, eventType::leftMouseDragged, eventType::rightMouseDragged,
};

double fraction(const Value* value) {
    auto n = number(value);
    if (!n || !std::isfinite(*n) || *n < 0 || *n > 1) reject(msg::invalidPointer);
    return *n;
}

bool transient(const std::optional<std::string>& occ) { return occ && occ->ends_with(transientSuffix); }

}  // namespace

Point normalizedPoint(Platform& platform, const Window& window, const Value* x, const Value* y, bool ignoreOwnPopup) {
    const double fx = fraction(x);
    const double fy = fraction(y);
    const Rect& frame = window.rect;
    // 0 is the first column or row of the window and 1 the last one.
    const Point point{frame.x + std::floor((frame.width - 1) * fx), frame.y + std::floor((frame.height - 1) * fy)};
    if (point.x - frame.x < titleButtonsWidth && point.y - frame.y < titleButtonsHeight) reject(msg::titleBarZone);

    auto occ = occluder(platform, window, point, ignoreOwnPopup);
    // A notification banner leaves by itself within a few seconds.
    for (int i = 0; i < notificationTries && occ && isNotificationOwner(*occ); ++i) {
        pause(platform, notificationPause, Wait::notification);
        occ = occluder(platform, window, point, ignoreOwnPopup);
    }
    if (!occ) return point;

    if (transient(occ)) {
        // Tooltips and hover panels of the chat application close when the
        // pointer moves away; move it once to a neutral spot of the window.
        platform.post(MouseEvent{mouse::moved, Point{frame.x + frame.width / 2, frame.y + 0.4 * frame.height},
                                 mouse::leftButton, std::nullopt});
        for (int i = 0; i < transientTries && transient(occ); ++i) {
            pause(platform, transientPause, Wait::transientWindow);
            occ = occluder(platform, window, point, ignoreOwnPopup);
        }
        if (!occ) return point;
    }
    reject(std::string(msg::pointerOccluded) + *occ);
}

double idle(Platform& platform) {
    double seconds = std::numeric_limits<double>::infinity();
    for (uint32_t type : activityEvents) {
        seconds = std::min(seconds, platform.secondsSinceLastEvent(EventSourceState::combinedSession, type));
    }
    return seconds * 1000;
}

}  // namespace quillgate
