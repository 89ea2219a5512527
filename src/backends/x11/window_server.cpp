// The window server: window and display lists, window levels, the login
// session and the capture permission (X has none to grant).
#include <xcb/randr.h>

#include "backends/x11/connection.h"
#include "backends/x11/session_lock.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

std::optional<Value> X11Platform::windowList(WindowListOption option) {
    const uint64_t unanswered = x_->unanswered();
    Array entries;
    for (const StackedWindow& window : stackedWindows(*x_, option == WindowListOption::onScreenExcludeDesktop)) {
        entries.push_back(windowEntry(window.facts));
    }
    // A list the server stopped answering in the middle of cannot be read.
    if (x_->unanswered() != unanswered) return std::nullopt;
    return entries;
}

std::optional<std::vector<Rect>> X11Platform::displayBounds() {
    xcb_connection_t* c = x_->get();
    Reply<xcb_randr_get_monitors_reply_t> monitors(
        x_->ask<xcb_randr_get_monitors_reply_t>([&] { return xcb_randr_get_monitors(c, x_->root(), 1); }));
    if (!monitors) {
        // No RandR: the one screen is the one display.
        const xcb_screen_t& screen = x_->screen();
        return std::vector<Rect>{Rect{0, 0, static_cast<double>(screen.width_in_pixels),
                                      static_cast<double>(screen.height_in_pixels)}};
    }
    // The primary monitor first, as the main display is listed first.
    std::vector<Rect> bounds;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem; xcb_randr_monitor_info_next(&it)) {
        const Rect frame{static_cast<double>(it.data->x), static_cast<double>(it.data->y),
                         static_cast<double>(it.data->width), static_cast<double>(it.data->height)};
        if (it.data->primary) {
            bounds.insert(bounds.begin(), frame);
        } else {
            bounds.push_back(frame);
        }
    }
    return bounds;
}

int64_t X11Platform::cursorWindowLevel() { return level::cursor; }

std::optional<Value> X11Platform::sessionDictionary() {
    // An X connection is a console session that has logged in.
    return Object{
        {"kCGSSessionOnConsoleKey", true},
        {"kCGSessionLoginDoneKey", true},
        {"CGSSessionScreenIsLocked", sessionLocked(*x_, session_.get(), system_.get())},
    };
}

bool X11Platform::screenCapturePreflight() { return x_->composite() && x_->shm(); }

bool X11Platform::screenCaptureRequest() { return screenCapturePreflight(); }

}  // namespace quillgate::x11
