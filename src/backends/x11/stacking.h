#pragma once
// The windows on the display, front to back: the window manager's clients
// in its stacking order, with the override-redirect windows (menus,
// tooltips, notifications) that only the window tree knows placed where the
// tree stacks them.

#include <vector>

#include "backends/x11/connection.h"
#include "backends/x11/window_table.h"

namespace quillgate::x11 {

struct StackedWindow {
    WindowFacts facts;
    xcb_window_t frame = XCB_WINDOW_NONE;  // the root's child holding it
};

// Desktop windows are left out; with onScreenOnly, so are windows that are
// not viewable or that the window manager hides.
std::vector<StackedWindow> stackedWindows(const Connection& x, bool onScreenOnly);

// The root's child holding a window: its frame under a reparenting window
// manager, else the window itself (also when it is gone).
xcb_window_t frameWindow(const Connection& x, xcb_window_t window);

}  // namespace quillgate::x11
