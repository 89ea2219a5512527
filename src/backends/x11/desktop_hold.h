#pragma once
// Holding the desktop still: the server grabbed for this connection alone,
// so that every other client's requests (a window manager mapping, raising
// or focusing a window, an application mapping one) wait until it is let
// go, and the events posted meanwhile are delivered by the window tree this
// client saw.
//
// The window manager first catches up. A window manager that intercepts
// clicks (click to focus, click to raise) passes each press on only once it
// has handled every event before it; a window whose mapping it had been
// asked for earlier is mapped first and takes the press, though it was
// nowhere on the screen while the desktop was held. So the window manager
// is asked to do one thing of its own, and the server is grabbed in the
// same breath as the answer is read: once that is done, so is everything it
// was asked before. The thing asked is to resize a window of ours that is
// never mapped: the window manager redirects the configure requests of
// top-level windows and passes them on for windows it does not manage;
// without a window manager the server applies them at once.

#include <xcb/xproto.h>

namespace quillgate::x11 {

class Connection;

class DesktopHold {
public:
    explicit DesktopHold(const Connection& x);
    ~DesktopHold();
    DesktopHold(const DesktopHold&) = delete;
    DesktopHold& operator=(const DesktopHold&) = delete;

    // Grabs the server once the window manager has handled what it was
    // asked before this call; after `seconds` without that (a window manager
    // busy or stopped), or when the server does not answer, grabs it anyway.
    void hold(double seconds);
    void release();

private:
    const Connection& x_;
    xcb_window_t window_ = XCB_WINDOW_NONE;
    uint16_t width_ = 1;
};

}  // namespace quillgate::x11
