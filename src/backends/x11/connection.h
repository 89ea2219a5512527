#pragma once
// One XCB connection to the display, the atoms the backend reads and a few
// property readers. XCB is safe to use from several threads at once, which the
// port asks of every backend (the capture thread shares this connection).

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillgate::x11 {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
// A reply XCB allocated; freed with it.
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

struct Atoms {
    xcb_atom_t clientListStacking, clientList, activeWindow, wmPid, wmName, utf8String, frameExtents;
    xcb_atom_t windowType, typeNormal, typeDialog, typeDock, typeDesktop, typeNotification, typePopupMenu,
        typeDropdownMenu, typeTooltip, typeCombo, typeUtility, typeToolbar, typeMenu, typeSplash, typeDnd;
    xcb_atom_t wmState, stateHidden, stateAbove, stateBelow, stateModal;
    xcb_atom_t icccmState, atSpiBus, currentDesktop, wmDesktop;
};

class Connection {
public:
    // Connects to the named display; throws std::runtime_error with one line
    // when it cannot be reached.
    explicit Connection(const std::string& display);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }
    const xcb_screen_t& screen() const { return *screen_; }
    const Atoms& atoms() const { return atoms_; }
    bool composite() const { return composite_; }
    bool shm() const { return shm_; }
    bool xtest() const { return xtest_; }
    bool resource() const { return resource_; }
    bool screenSaver() const { return screenSaver_; }
    bool shape() const { return shape_; }

    // A property's 32-bit items (windows, atoms, cardinals); empty when absent.
    std::vector<uint32_t> items(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    // A text property (UTF8_STRING or STRING); absent when unset.
    std::optional<std::string> text(xcb_window_t window, xcb_atom_t property) const;
    // Sends a client message to the root window as EWMH asks pagers to.
    void ask(xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data) const;

private:
    bool hasExtension(const char* name) const;

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    Atoms atoms_{};
    bool composite_ = false;
    bool shm_ = false;
    bool xtest_ = false;
    bool resource_ = false;
    bool screenSaver_ = false;
    bool shape_ = false;
};

// A property reply's 32-bit items.
std::vector<uint32_t> propertyItems(const xcb_get_property_reply_t* reply);
// A property reply's bytes as text; absent for a missing property.
std::optional<std::string> propertyText(const xcb_get_property_reply_t* reply);

}  // namespace quillgate::x11
