// The window server: window and display lists, window levels, the login
// session and the screen-recording permission.
#include <ApplicationServices/ApplicationServices.h>

#include <algorithm>

#include "platform/cf_ref.h"
#include "backends/macos/cf_value.h"
#include "backends/macos/mac_platform.h"

namespace quillgate::macos {

std::optional<Value> MacPlatform::windowList(WindowListOption option) {
    CfRef<CFArrayRef> list(CGWindowListCopyWindowInfo(static_cast<CGWindowListOption>(option), kCGNullWindowID));
    if (!list) return std::nullopt;
    return valueFromCf(list.get());
}

std::optional<std::vector<Rect>> MacPlatform::displayBounds() {
    uint32_t count = 0;
    if (CGGetActiveDisplayList(0, nullptr, &count) != kCGErrorSuccess) return std::nullopt;
    std::vector<CGDirectDisplayID> displays(count);
    if (count > 0) {
        if (CGGetActiveDisplayList(count, displays.data(), &count) != kCGErrorSuccess) return std::nullopt;
        // The list may have shrunk between the two calls.
        displays.resize(std::min<size_t>(count, displays.size()));
    }
    std::vector<Rect> bounds;
    bounds.reserve(displays.size());
    for (CGDirectDisplayID display : displays) {
        const CGRect frame = CGDisplayBounds(display);
        bounds.push_back(Rect{frame.origin.x, frame.origin.y, frame.size.width, frame.size.height});
    }
    return bounds;
}

int64_t MacPlatform::cursorWindowLevel() { return CGWindowLevelForKey(kCGCursorWindowLevelKey); }

std::optional<Value> MacPlatform::sessionDictionary() {
    CfRef<CFDictionaryRef> session(CGSessionCopyCurrentDictionary());
    if (!session) return std::nullopt;
    return valueFromCf(session.get());
}

bool MacPlatform::screenCapturePreflight() { return CGPreflightScreenCaptureAccess(); }

bool MacPlatform::screenCaptureRequest() { return CGRequestScreenCaptureAccess(); }

}  // namespace quillgate::macos
