// The workspace: running processes, the frontmost application (the owner
// of the window manager's active window), activation and de-iconifying.
#include <xcb/xcb.h>

#include <algorithm>

#include "backends/x11/connection.h"
#include "backends/x11/proc.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

namespace {

// _NET_ACTIVE_WINDOW's source indication for a pager, which window managers
// obey even when they keep applications from stealing the focus.
constexpr uint32_t pagerSource = 2;

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

std::optional<RunningApplication> X11Platform::frontmostApplication() {
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

bool X11Platform::unhide(int32_t pid) {
    bool any = false;
    for (const StackedWindow& window : windowsOf(pid)) {
        if (onScreen(window.facts)) continue;
        // Mapping an iconic client asks the window manager to restore it.
        xcb_map_window(x_->get(), window.facts.id);
        any = true;
    }
    xcb_flush(x_->get());
    return any;
}

}  // namespace quillgate::x11
