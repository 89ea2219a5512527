// The workspace: running processes, the frontmost application (the owner
// of the window manager's active window), activation, and bringing back
// windows that are iconified or on another desktop.
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "backends/x11/connection.h"
#include "backends/x11/proc.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

namespace {

// _NET_ACTIVE_WINDOW's source indication for a pager, which window managers
// obey even when they keep applications from stealing the focus.
constexpr uint32_t pagerSource = 2;
// A focused window is at most this far below the client that holds it.
constexpr int focusDepth = 4;

}  // namespace

std::vector<StackedWindow> X11Platform::windowsOf(int32_t pid) {
    std::vector<StackedWindow> own;
    for (StackedWindow& window : stackedWindows(*x_, false)) {
        if (!window.facts.unmanaged && window.facts.pid == pid) own.push_back(std::move(window));
    }
    return own;
}

std::optional<uint32_t> X11Platform::activeWindow() {
    const auto active = x_->items(x_->root(), x_->atoms().activeWindow, XCB_ATOM_WINDOW);
    if (active.empty() || active.front() == XCB_WINDOW_NONE) return std::nullopt;
    return active.front();
}

void X11Platform::requestActivation(uint32_t window) {
    x_->ask(window, x_->atoms().activeWindow, {pagerSource, XCB_CURRENT_TIME, activeWindow().value_or(XCB_WINDOW_NONE)});
}

std::optional<RunningApplication> X11Platform::runningApplication(int32_t pid) {
    auto launched = launchDate(pid);
    if (!launched) return std::nullopt;
    RunningApplication app;
    app.pid = pid;
    app.name = processName(pid);
    app.launchDate = launched;
    return app;
}

bool X11Platform::inputMethod(int32_t pid) {
    // The processes that show the input methods' candidate lists and
    // compositions: IBus's panel and its XIM server, and Fcitx.
    static constexpr std::array<std::string_view, 4> inputMethods{"ibus-ui-gtk3", "ibus-x11", "fcitx5", "fcitx"};
    const auto name = processName(pid);
    return name && std::find(inputMethods.begin(), inputMethods.end(), *name) != inputMethods.end();
}

std::vector<RunningApplication> X11Platform::runningApplications(const std::string& bundle) {
    // Linux applications carry no bundle identifier: the process name
    // ("process" in the window list) stands for it, among the processes
    // that have a window on the display.
    std::vector<RunningApplication> apps;
    for (const StackedWindow& window : stackedWindows(*x_, false)) {
        const auto pid = window.facts.pid;
        if (!pid || std::any_of(apps.begin(), apps.end(), [&](const RunningApplication& a) { return a.pid == *pid; }))
            continue;
        if (auto app = runningApplication(*pid); app && app->name == bundle) apps.push_back(std::move(*app));
    }
    return apps;
}

std::optional<int32_t> X11Platform::focusOwner() {
    xcb_connection_t* c = x_->get();
    auto focus = x_->ask<xcb_get_input_focus_reply_t>([&] { return xcb_get_input_focus(c); });
    if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT) return std::nullopt;
    // Toolkits focus a child of their window (GTK's focus window): the
    // owner is the nearest ancestor that names its process.
    xcb_window_t window = focus->focus;
    for (int depth = 0; depth < focusDepth && window != XCB_WINDOW_NONE && window != x_->root(); ++depth) {
        if (const auto pid = x_->items(window, x_->atoms().wmPid, XCB_ATOM_CARDINAL); !pid.empty()) {
            return static_cast<int32_t>(pid.front());
        }
        auto tree = x_->ask<xcb_query_tree_reply_t>([&] { return xcb_query_tree(c, window); });
        window = tree ? tree->parent : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
    }
    return std::nullopt;
}

std::optional<RunningApplication> X11Platform::frontmostApplication() {
    // Where keys go now: the window manager moves the input focus first and
    // names the active window just after, so a window that has just
    // appeared holds the focus before it is the active window.
    if (const auto owner = focusOwner()) return runningApplication(*owner);
    const auto active = activeWindow();
    if (!active) return std::nullopt;
    for (const StackedWindow& window : stackedWindows(*x_, false)) {
        if (window.facts.id == *active && window.facts.pid) return runningApplication(*window.facts.pid);
    }
    return std::nullopt;
}

bool X11Platform::activate(int32_t pid) {
    const auto windows = windowsOf(pid);
    if (windows.empty()) return false;
    requestActivation(windows.front().facts.id);
    return true;
}

void X11Platform::restore(uint32_t window) {
    const Atoms& a = x_->atoms();
    const auto here = x_->items(x_->root(), a.currentDesktop, XCB_ATOM_CARDINAL);
    const auto desktop = x_->items(window, a.wmDesktop, XCB_ATOM_CARDINAL);
    if (!here.empty() && !desktop.empty() && desktop.front() != allDesktops && desktop.front() != here.front()) {
        // Brought to the desktop in view, as a pager moves a window.
        x_->ask(window, a.wmDesktop, {here.front(), pagerSource});
    }
    // Mapping an iconic client asks the window manager to restore it.
    xcb_map_window(x_->get(), window);
    xcb_flush(x_->get());
}

bool X11Platform::unhide(int32_t pid) {
    bool any = false;
    for (const StackedWindow& window : windowsOf(pid)) {
        if (onScreen(window.facts)) continue;
        restore(window.facts.id);
        any = true;
    }
    return any;
}

}  // namespace quillgate::x11
