// Quartz events: the user's input state, and the keyboard, mouse and
// scroll-wheel events the program posts.
#include <ApplicationServices/ApplicationServices.h>

#include "platform/cf_ref.h"
#include "backends/macos/mac_platform.h"

namespace quillgate::macos {

namespace {

CGEventSourceStateID sourceState(EventSourceState state) { return static_cast<CGEventSourceStateID>(state); }

}  // namespace

double MacPlatform::secondsSinceLastEvent(EventSourceState state, uint32_t eventType) {
    return CGEventSourceSecondsSinceLastEventType(sourceState(state), static_cast<CGEventType>(eventType));
}

bool MacPlatform::keyDown(EventSourceState state, uint16_t code) {
    return CGEventSourceKeyState(sourceState(state), code);
}

bool MacPlatform::post(const KeyboardEvent& event) {
    // Without a source the event is still made, from no particular state.
    CfRef<CGEventSourceRef> source(CGEventSourceCreate(sourceState(event.source)));
    CfRef<CGEventRef> key(CGEventCreateKeyboardEvent(source.get(), event.code, event.down));
    if (!key) return false;
    if (event.flags) CGEventSetFlags(key.get(), static_cast<CGEventFlags>(*event.flags));
    if (event.pid) {
        CGEventPostToPid(*event.pid, key.get());
    } else {
        CGEventPost(kCGHIDEventTap, key.get());
    }
    return true;
}

bool MacPlatform::post(const MouseEvent& event) {
    CfRef<CGEventRef> mouse(CGEventCreateMouseEvent(nullptr, static_cast<CGEventType>(event.type),
                                                    CGPointMake(event.location.x, event.location.y),
                                                    static_cast<CGMouseButton>(event.button)));
    if (!mouse) return false;
    if (event.clickState) CGEventSetIntegerValueField(mouse.get(), kCGMouseEventClickState, *event.clickState);
    CGEventPost(kCGHIDEventTap, mouse.get());
    return true;
}

bool MacPlatform::post(const ScrollEvent& event) {
    CfRef<CGEventRef> scroll(CGEventCreateScrollWheelEvent2(nullptr, kCGScrollEventUnitLine, 1, event.lines, 0, 0));
    if (!scroll) return false;
    CGEventSetLocation(scroll.get(), CGPointMake(event.location.x, event.location.y));
    CGEventPost(kCGHIDEventTap, scroll.get());
    return true;
}

bool MacPlatform::buttonDown(EventSourceState state, uint32_t button) {
    return CGEventSourceButtonState(sourceState(state), static_cast<CGMouseButton>(button));
}

// Quartz does not tell whether another application has taken the pointer.
bool MacPlatform::pointerGrabbed() { return false; }

std::optional<Point> MacPlatform::pointerLocation() {
    CfRef<CGEventRef> probe(CGEventCreate(nullptr));
    if (!probe) return std::nullopt;
    const CGPoint location = CGEventGetLocation(probe.get());
    return Point{location.x, location.y};
}

}  // namespace quillgate::macos
