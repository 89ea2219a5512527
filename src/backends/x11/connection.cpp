#include "backends/x11/connection.h"

#include <xcb/composite.h>

#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace quillgate::x11 {

namespace {

// Properties longer than this are cut: a window list or a title never is.
constexpr uint32_t propertyWords = 1 << 16;

xcb_atom_t internAtom(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

}  // namespace

Connection::Connection(const std::string& display) {
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
    const std::array<std::pair<xcb_atom_t*, const char*>, 31> names{{
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
    for (size_t i = 0; i < names.size(); ++i) *names[i].first = internAtom(connection_, cookies[i]);

    composite_ = hasExtension("Composite");
    shm_ = hasExtension("MIT-SHM");
    xtest_ = hasExtension("XTEST");
    resource_ = hasExtension("X-Resource");
    screenSaver_ = hasExtension("MIT-SCREEN-SAVER");
    shape_ = hasExtension("SHAPE");
    if (composite_) {
        // Every top-level window keeps its own pixels, covered or not, for as
        // long as this connection lives; the server undoes it when we leave.
        // The version must be asked before the extension's requests are used.
        Reply<xcb_composite_query_version_reply_t> version(
            xcb_composite_query_version_reply(connection_, xcb_composite_query_version(connection_, 0, 4), nullptr));
        xcb_composite_redirect_subwindows(connection_, root(), XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        xcb_flush(connection_);
    }
}

Connection::~Connection() {
    if (connection_) xcb_disconnect(connection_);
}

bool Connection::hasExtension(const char* name) const {
    Reply<xcb_query_extension_reply_t> reply(xcb_query_extension_reply(
        connection_, xcb_query_extension(connection_, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply && reply->present;
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
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, propertyWords), nullptr));
    return propertyItems(reply.get());
}

std::optional<std::string> Connection::text(xcb_window_t window, xcb_atom_t property) const {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, propertyWords),
        nullptr));
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
