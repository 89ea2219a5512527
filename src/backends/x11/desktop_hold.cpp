#include "backends/x11/desktop_hold.h"

#include <chrono>
#include <thread>

#include "backends/x11/connection.h"

namespace quillgate::x11 {

namespace {

// Off every screen and never mapped: no one sees it or gives it input.
constexpr int16_t offScreen = -10000;
constexpr auto pollPause = std::chrono::microseconds(50);

}  // namespace

DesktopHold::DesktopHold(const Connection& x) : x_(x) {
    window_ = xcb_generate_id(x_.get());
    xcb_create_window(x_.get(), XCB_COPY_FROM_PARENT, window_, x_.root(), offScreen, offScreen, width_, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(x_.get());
}

DesktopHold::~DesktopHold() {
    xcb_destroy_window(x_.get(), window_);
    xcb_flush(x_.get());
}

void DesktopHold::hold(double seconds) {
    width_ = width_ == 1 ? 2 : 1;
    const uint32_t width = width_;
    xcb_configure_window(x_.get(), window_, XCB_CONFIG_WINDOW_WIDTH, &width);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        // The grab goes out right behind the question, so nothing another
        // client asks can come between the answer and the grab.
        auto answer = x_.ask<xcb_get_geometry_reply_t>([&] {
            auto cookie = xcb_get_geometry(x_.get(), window_);
            xcb_grab_server(x_.get());
            return cookie;
        });
        if (!answer || answer->width == width_ || std::chrono::steady_clock::now() >= deadline) return;
        // Not yet: the window manager must run to catch up.
        release();
        std::this_thread::sleep_for(pollPause);
    }
}

void DesktopHold::release() {
    xcb_ungrab_server(x_.get());
    xcb_flush(x_.get());
}

}  // namespace quillgate::x11
