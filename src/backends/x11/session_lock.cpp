#include "backends/x11/session_lock.h"

#include <xcb/screensaver.h>

#include "backends/x11/connection.h"
#include "backends/x11/dbus_bus.h"

namespace quillgate::x11 {

namespace {

bool loginManagerLocked(const Bus* system) {
    // "auto" is the caller's own session.
    return system && system->flagProperty("org.freedesktop.login1", "/org/freedesktop/login1/session/auto",
                                          "org.freedesktop.login1.Session", "LockedHint") == true;
}

bool screenSaverActive(const Bus* session) {
    return session && session->callForFlag("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                           "org.freedesktop.ScreenSaver", "GetActive") == true;
}

bool serverSaverOn(const Connection& x) {
    if (!x.screenSaver()) return false;
    Reply<xcb_screensaver_query_info_reply_t> info(
        x.ask<xcb_screensaver_query_info_reply_t>([&] { return xcb_screensaver_query_info(x.get(), x.root()); }));
    return info && info->state == XCB_SCREENSAVER_STATE_ON;
}

}  // namespace

bool sessionLocked(const Connection& x, const Bus* session, const Bus* system) {
    return serverSaverOn(x) || loginManagerLocked(system) || screenSaverActive(session);
}

}  // namespace quillgate::x11
