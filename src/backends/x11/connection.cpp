#include "backends/x11/connection.h"

#include <poll.h>
#include <xcb/composite.h>
#include <xcb/randr.h>
#include <xcb/res.h>
#include <xcb/screensaver.h>
#include <xcb/shape.h>
#include <xcb/shm.h>
#include <xcb/xtest.h>
#include <xcb/xcbext.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "backends/x11/desktop_lost.h"

namespace quillgate::x11 {

namespace {

// Properties longer than this are cut: a window list or a title never is.
constexpr uint32_t propertyWords = 1 << 16;

// How long a round trip may take: a live server answers within milliseconds
// even when busy; a request that waited this long answers as if the display
// could not be read. Once one was given up, later round trips fail at once
// until its reply comes, so a request with many round trips on a stopped
// server still answers within a few seconds, and the first request after
// the server resumes is answered as before.
constexpr std::chrono::milliseconds roundTripLimit{1500};
// The longest single wait on the connection: another thread may read the
// reply off the socket meanwhile, leaving nothing to wake this one.
constexpr std::chrono::milliseconds pollSlice{20};

xcb_atom_t internAtom(const Connection& x, xcb_intern_atom_cookie_t cookie) {
    auto reply = x.replyTo<xcb_intern_atom_reply_t>(cookie);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

}  // namespace

Connection::Connection(const std::string& display) : display_(display) {
    int screenNumber = 0;
    connection_ = xcb_connect(display.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        throw std::runtime_error("quillgate: cannot reach the X display \"" + display + "\"");
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    screen_ = it.data;

    // All names go out at once; one round trip for the lot.
    const std::array<std::pair<xcb_atom_t*, const char*>, 32> names{{
        {&atoms_.clientListStacking, "_NET_CLIENT_LIST_STACKING"},
        {&atoms_.clientList, "_NET_CLIENT_LIST"},
        {&atoms_.activeWindow, "_NET_ACTIVE_WINDOW"},
        {&atoms_.wmPid, "_NET_WM_PID"},
        {&atoms_.wmName, "_NET_WM_NAME"},
        {&atoms_.utf8String, "UTF8_STRING"},
        {&atoms_.frameExtents, "_NET_FRAME_EXTENTS"},
        {&atoms_.windowType, "_NET_WM_WINDOW_TYPE"},
        {&atoms_.typeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
        {&atoms_.typeDialog, "_NET_WM_WINDOW_TYPE_DIALOG"},
        {&atoms_.typeDock, "_NET_WM_WINDOW_TYPE_DOCK"},
        {&atoms_.typeDesktop, "_NET_WM_WINDOW_TYPE_DESKTOP"},
        {&atoms_.typeNotification, "_NET_WM_WINDOW_TYPE_NOTIFICATION"},
        {&atoms_.typePopupMenu, "_NET_WM_WINDOW_TYPE_POPUP_MENU"},
        {&atoms_.typeDropdownMenu, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"},
        {&atoms_.typeTooltip, "_NET_WM_WINDOW_TYPE_TOOLTIP"},
        {&atoms_.typeCombo, "_NET_WM_WINDOW_TYPE_COMBO"},
        {&atoms_.typeUtility, "_NET_WM_WINDOW_TYPE_UTILITY"},
        {&atoms_.typeToolbar, "_NET_WM_WINDOW_TYPE_TOOLBAR"},
        {&atoms_.typeMenu, "_NET_WM_WINDOW_TYPE_MENU"},
        {&atoms_.typeSplash, "_NET_WM_WINDOW_TYPE_SPLASH"},
        {&atoms_.typeDnd, "_NET_WM_WINDOW_TYPE_DND"},
        {&atoms_.wmState, "_NET_WM_STATE"},
        {&atoms_.stateHidden, "_NET_WM_STATE_HIDDEN"},
        {&atoms_.stateShaded, "_NET_WM_STATE_SHADED"},
        {&atoms_.stateAbove, "_NET_WM_STATE_ABOVE"},
        {&atoms_.stateBelow, "_NET_WM_STATE_BELOW"},
        {&atoms_.stateModal, "_NET_WM_STATE_MODAL"},
        {&atoms_.icccmState, "WM_STATE"},
        {&atoms_.atSpiBus, "AT_SPI_BUS"},
        {&atoms_.currentDesktop, "_NET_CURRENT_DESKTOP"},
        {&atoms_.wmDesktop, "_NET_WM_DESKTOP"},
    }};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (size_t i = 0; i < names.size(); ++i) {
        cookies[i] = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(names[i].second)),
                                     names[i].second);
    }
    for (size_t i = 0; i < names.size(); ++i) *names[i].first = internAtom(*this, cookies[i]);

    // XCB asks for an extension's data, with no deadline, the first time one
    // of its requests is sent: asked here, all at once, while the server is
    // known to answer, so that no request later waits for it.
    for (xcb_extension_t* extension : {&xcb_composite_id, &xcb_shm_id, &xcb_test_id, &xcb_res_id,
                                       &xcb_screensaver_id, &xcb_randr_id, &xcb_shape_id})
        xcb_prefetch_extension_data(connection_, extension);
    composite_ = hasExtension(xcb_composite_id);
    shm_ = hasExtension(xcb_shm_id);
    xtest_ = hasExtension(xcb_test_id);
    resource_ = hasExtension(xcb_res_id);
    screenSaver_ = hasExtension(xcb_screensaver_id);
    shape_ = hasExtension(xcb_shape_id);
    xcb_get_extension_data(connection_, &xcb_randr_id);  // RandR is looked for when it is used
    if (composite_) {
        // Every top-level window keeps its own pixels, covered or not, for as
        // long as this connection lives; the server undoes it when we leave.
        // The version must be asked before the extension's requests are used.
        ask<xcb_composite_query_version_reply_t>([&] { return xcb_composite_query_version(connection_, 0, 4); });
        xcb_composite_redirect_subwindows(connection_, root(), XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        xcb_flush(connection_);
    }
}

bool Connection::answering() const {
    if (!stillStalled()) return true;
    ++unanswered_;
    return false;
}

void* Connection::awaitReply(unsigned int sequence) const {
    if (!answering()) {
        xcb_discard_reply(connection_, sequence);
        return nullptr;
    }
    xcb_flush(connection_);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + roundTripLimit;
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        const bool done = xcb_poll_for_reply(connection_, sequence, &reply, &error);
        if (xcb_connection_has_error(connection_)) lost();
        if (done) {
            std::free(error);
            return reply;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            givenUp(sequence);
            return nullptr;
        }
        pollfd socket{xcb_get_file_descriptor(connection_), POLLIN, 0};
        poll(&socket, 1, static_cast<int>(std::min(left, pollSlice).count()));
    }
}

bool Connection::stillStalled() const {
    std::lock_guard hold(stall_);
    if (!probe_) return false;
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(connection_, *probe_, &reply, &error)) {
        std::free(reply);
        std::free(error);
        probe_.reset();
    }
    if (xcb_connection_has_error(connection_)) lost();
    return probe_.has_value();
}

void Connection::givenUp(unsigned int sequence) const {
    std::lock_guard hold(stall_);
    ++unanswered_;
    // The first request given up on stays asked: its reply says the server
    // answers again.
    if (probe_) {
        xcb_discard_reply(connection_, sequence);
    } else {
        probe_ = sequence;
    }
}

void Connection::lost() const { desktopLost("lost the connection to the X display \"" + display_ + "\""); }

bool Connection::confirmed(xcb_void_cookie_t cookie) const {
    // Replies come in order: once a later request is answered, the checked
    // one's error (if any) is in, and xcb_request_check no longer waits.
    if (!ask<xcb_get_input_focus_reply_t>([&] { return xcb_get_input_focus(connection_); })) {
        xcb_discard_reply(connection_, cookie.sequence);
        return false;
    }
    const Reply<xcb_generic_error_t> error(xcb_request_check(connection_, cookie));
    return !error;
}

Connection::~Connection() {
    if (connection_) xcb_disconnect(connection_);
}

bool Connection::hasExtension(xcb_extension_t& extension) const {
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(connection_, &extension);
    return data && data->present;
}

std::vector<uint32_t> propertyItems(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 32) return {};
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / 4;
    return std::vector<uint32_t>(data, data + count);
}

std::optional<std::string> propertyText(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8) return std::nullopt;
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
    return std::string(data, static_cast<size_t>(xcb_get_property_value_length(reply)));
}

std::vector<uint32_t> Connection::items(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const {
    auto reply = ask<xcb_get_property_reply_t>(
        [&] { return xcb_get_property(connection_, 0, window, property, type, 0, propertyWords); });
    return propertyItems(reply.get());
}

std::optional<std::string> Connection::text(xcb_window_t window, xcb_atom_t property) const {
    auto reply = ask<xcb_get_property_reply_t>([&] {
        return xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, propertyWords);
    });
    return propertyText(reply.get());
}

void Connection::ask(xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data) const {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    size_t i = 0;
    for (uint32_t item : data) {
        if (i < 5) event.data.data32[i++] = item;
    }
    xcb_send_event(connection_, 0, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
}

}  // namespace quillgate::x11
