// XTest: the user's input state, and the keyboard, mouse and wheel events the
// program posts, which the server handles as if the devices sent them.
#include <xcb/screensaver.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <array>
#include <utility>

#include "backends/x11/connection.h"
#include "backends/x11/desktop_hold.h"
#include "backends/x11/key_table.h"
#include "backends/x11/keyboard.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

namespace {

constexpr uint8_t leftButton = 1;
constexpr uint8_t rightButton = 3;
constexpr uint8_t wheelUp = 4;
constexpr uint8_t wheelDown = 5;
// How long the window manager may take to catch up before the desktop is
// held all the same: it answers within a millisecond or two when idle.
constexpr double windowManagerWait = 0.1;

void fake(const Connection& x, uint8_t type, uint8_t detail, int16_t rootX = 0, int16_t rootY = 0) {
    xcb_test_fake_input(x.get(), type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? x.root() : static_cast<xcb_window_t>(XCB_WINDOW_NONE),
                        rootX, rootY, 0);
}

int16_t coordinate(double value) {
    return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

void moveTo(const Connection& x, Point location) {
    fake(x, XCB_MOTION_NOTIFY, 0, coordinate(location.x), coordinate(location.y));
}

// The modifier mask a key event carries for the keys held with it.
uint16_t modifierMask(const std::vector<uint32_t>& keysyms) {
    uint16_t mask = 0;
    for (uint32_t sym : keysyms) {
        if (sym == keysym::controlL) mask |= XCB_MOD_MASK_CONTROL;
        if (sym == keysym::shiftL) mask |= XCB_MOD_MASK_SHIFT;
        if (sym == keysym::altL) mask |= XCB_MOD_MASK_1;
        if (sym == keysym::superL) mask |= XCB_MOD_MASK_4;
    }
    return mask;
}

// The layout group a key event's state carries (bits 13 and 14 with XKB).
uint16_t groupMask(uint32_t group) { return static_cast<uint16_t>((group & 3) << 13); }

}  // namespace

double X11Platform::secondsSinceLastEvent(EventSourceState, uint32_t) {
    // The server keeps one idle time for all input: every event type reads it.
    if (!x_->screenSaver()) return 0;
    Reply<xcb_screensaver_query_info_reply_t> info(
        x_->ask<xcb_screensaver_query_info_reply_t>([&] { return xcb_screensaver_query_info(x_->get(), x_->root()); }));
    return info ? info->ms_since_user_input / 1000.0 : 0;
}

bool X11Platform::keyDown(EventSourceState, uint16_t code) {
    const auto sym = keysymOf(code);
    if (!sym) return false;
    const auto codes = keycodesOf(*x_, *sym);
    if (codes.empty()) return false;
    auto keymap = x_->ask<xcb_query_keymap_reply_t>([&] { return xcb_query_keymap(x_->get()); });
    if (!keymap) return false;
    return std::any_of(codes.begin(), codes.end(),
                       [&](xcb_keycode_t k) { return (keymap->keys[k / 8] >> (k % 8)) & 1; });
}

bool X11Platform::post(const KeyboardEvent& event) {
    const auto sym = keysymOf(event.code);
    if (!sym) return false;
    const auto place = keyboard_->keyFor(*sym);
    // The layout has no key for it in any group: nothing to press.
    if (!place) throw PlatformError(keyboardLayoutDomain, 1);
    const std::vector<uint32_t> modifierSyms = event.flags ? modifierKeysyms(*event.flags) : std::vector<uint32_t>{};
    std::vector<xcb_keycode_t> modifiers;
    for (uint32_t modifierSym : modifierSyms) {
        const auto modifier = keyboard_->keyFor(modifierSym);
        if (!modifier) return false;
        modifiers.push_back(modifier->code);
    }

    if (event.pid) {
        // Straight to the application's front window, wherever the focus is.
        const auto windows = windowsOf(*event.pid);
        if (windows.empty()) return false;
        xcb_key_press_event_t sent{};
        sent.response_type = event.down ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
        sent.detail = place->code;
        sent.time = XCB_CURRENT_TIME;
        sent.root = x_->root();
        sent.event = windows.front().facts.id;
        sent.child = XCB_WINDOW_NONE;
        sent.state = modifierMask(modifierSyms) | groupMask(place->group);
        sent.same_screen = 1;
        xcb_send_event(x_->get(), 1, sent.event, event.down ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                       reinterpret_cast<const char*>(&sent));
        xcb_flush(x_->get());
        return true;
    }
    // A chord carries exactly its own modifiers: the modifier keys held when
    // it goes down (a stuck key, the user's hand) are released first and
    // stay released. Its modifiers are held around the key, pressed before
    // it goes down and released after it comes up. A key that only another
    // layout group has is typed in that group, locked for the chord.
    if (event.down) {
        for (xcb_keycode_t held : heldModifierKeys(*x_)) fake(*x_, XCB_KEY_RELEASE, held);
        if (!place->groupInUse) {
            keyboard_->lockGroup(place->group);
            groupToRestore_ = place->lockedGroup;
        }
        for (xcb_keycode_t modifier : modifiers) fake(*x_, XCB_KEY_PRESS, modifier);
        fake(*x_, XCB_KEY_PRESS, place->code);
    } else {
        fake(*x_, XCB_KEY_RELEASE, place->code);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) fake(*x_, XCB_KEY_RELEASE, *it);
        if (groupToRestore_) keyboard_->lockGroup(*std::exchange(groupToRestore_, std::nullopt));
    }
    xcb_flush(x_->get());
    return true;
}

bool X11Platform::post(const MouseEvent& event) {
    // Each event happens where it says; the toolkit counts a second click
    // within its double-click time and distance as a double click, so the
    // click state needs no field of its own.
    moveTo(*x_, event.location);
    switch (event.type) {
        case mouse::moved:
            break;
        case mouse::leftDown:
            fake(*x_, XCB_BUTTON_PRESS, leftButton);
            break;
        case mouse::leftUp:
            fake(*x_, XCB_BUTTON_RELEASE, leftButton);
            break;
        case mouse::rightDown:
            fake(*x_, XCB_BUTTON_PRESS, rightButton);
            break;
        case mouse::rightUp:
            fake(*x_, XCB_BUTTON_RELEASE, rightButton);
            break;
        default:
            return false;
    }
    xcb_flush(x_->get());
    return true;
}

bool X11Platform::post(const ScrollEvent& event) {
    moveTo(*x_, event.location);
    // One wheel step per line: button 4 scrolls up, 5 down.
    const uint8_t button = event.lines > 0 ? wheelUp : wheelDown;
    for (int32_t i = 0; i < std::abs(event.lines); ++i) {
        fake(*x_, XCB_BUTTON_PRESS, button);
        fake(*x_, XCB_BUTTON_RELEASE, button);
    }
    xcb_flush(x_->get());
    return true;
}

Platform::Hold X11Platform::holdDesktop() {
    if (Hold held = hold_.lock()) return held;
    desktopHold_->hold(windowManagerWait);
    Hold held(this, [hold = desktopHold_.get()](void*) { hold->release(); });
    hold_ = held;
    return held;
}

bool X11Platform::buttonDown(EventSourceState, uint32_t button) {
    // The core state carries buttons 1 to 5, of which 4 and 5 are the wheel.
    constexpr std::array<uint16_t, 3> masks{XCB_KEY_BUT_MASK_BUTTON_1, XCB_KEY_BUT_MASK_BUTTON_3,
                                            XCB_KEY_BUT_MASK_BUTTON_2};
    if (button >= masks.size()) return false;
    auto pointer =
        x_->ask<xcb_query_pointer_reply_t>([&] { return xcb_query_pointer(x_->get(), x_->root()); });
    return pointer && (pointer->mask & masks[button]);
}

bool X11Platform::pointerGrabbed() {
    // The server tells of another client's grab only by refusing one: a grab
    // that succeeds is let go at once, having taken no event.
    auto grab = x_->ask<xcb_grab_pointer_reply_t>([&] {
        return xcb_grab_pointer(x_->get(), 0, x_->root(), 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                                XCB_NONE, XCB_CURRENT_TIME);
    });
    if (!grab) return false;
    if (grab->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_pointer(x_->get(), XCB_CURRENT_TIME);
        xcb_flush(x_->get());
        return false;
    }
    return grab->status == XCB_GRAB_STATUS_ALREADY_GRABBED || grab->status == XCB_GRAB_STATUS_FROZEN;
}

std::optional<Point> X11Platform::pointerLocation() {
    Reply<xcb_query_pointer_reply_t> pointer(
        x_->ask<xcb_query_pointer_reply_t>([&] { return xcb_query_pointer(x_->get(), x_->root()); }));
    if (!pointer) return std::nullopt;
    return Point{static_cast<double>(pointer->root_x), static_cast<double>(pointer->root_y)};
}

}  // namespace quillgate::x11
