#pragma once
// One XCB connection to the display, the atoms the backend reads and a few
// property readers. XCB is safe to use from several threads at once, which the
// port asks of every backend (the capture thread shares this connection).
//
// Every round trip has a deadline (XCB has none of its own): a server that
// stops answering makes a reply absent, as for a request the server refused,
// and once one has been given up the next ones fail at once until the
// server answers it. A connection that fails for good ends the process
// (desktop_lost.h): nothing read after that could be told from an empty
// desktop.

#include <xcb/xcb.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
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
    xcb_atom_t wmState, stateHidden, stateAbove, stateBelow, stateModal, stateShaded;
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
    const std::string& display() const { return display_; }
    xcb_window_t root() const { return screen_->root; }
    const xcb_screen_t& screen() const { return *screen_; }
    const Atoms& atoms() const { return atoms_; }
    bool composite() const { return composite_; }
    bool shm() const { return shm_; }
    bool xtest() const { return xtest_; }
    bool resource() const { return resource_; }
    bool screenSaver() const { return screenSaver_; }
    bool shape() const { return shape_; }

    // The reply to a request that send() sends (it returns the cookie);
    // absent when the server refused it or did not answer in time. Nothing
    // is sent while an earlier round trip is still unanswered: a stopped
    // server's full socket would block the sender for good.
    template <typename T, typename Send>
    Reply<T> ask(Send send) const {
        if (!answering()) return nullptr;
        return replyTo<T>(send());
    }
    // The reply to a request already sent, as ask() has it.
    template <typename T, typename Cookie>
    Reply<T> replyTo(Cookie cookie) const {
        return Reply<T>(static_cast<T*>(awaitReply(cookie.sequence)));
    }
    // False, counted as a round trip given up, while an earlier one is still
    // unanswered: then nothing should be sent.
    bool answering() const;
    // Whether a checked request without a reply succeeded: false when the
    // server refused it or did not confirm it in time.
    bool confirmed(xcb_void_cookie_t cookie) const;
    // How many round trips have been given up so far: a reader that saw the
    // count move read an incomplete picture of the display.
    uint64_t unanswered() const { return unanswered_.load(); }

    // A property's 32-bit items (windows, atoms, cardinals); empty when absent.
    std::vector<uint32_t> items(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    // A text property (UTF8_STRING or STRING); absent when unset.
    std::optional<std::string> text(xcb_window_t window, xcb_atom_t property) const;
    // Sends a client message to the root window as EWMH asks pagers to.
    void ask(xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data) const;

private:
    bool hasExtension(xcb_extension_t& extension) const;
    void* awaitReply(unsigned int sequence) const;
    // Whether a round trip given up on is still unanswered.
    bool stillStalled() const;
    void givenUp(unsigned int sequence) const;
    [[noreturn]] void lost() const;

    std::string display_;

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    Atoms atoms_{};
    bool composite_ = false;
    bool shm_ = false;
    bool xtest_ = false;
    bool resource_ = false;
    bool screenSaver_ = false;
    bool shape_ = false;
    mutable std::mutex stall_;
    mutable std::optional<unsigned int> probe_;  // the round trip given up on, until it is answered
    mutable std::atomic<uint64_t> unanswered_ = 0;
};

// A property reply's 32-bit items.
std::vector<uint32_t> propertyItems(const xcb_get_property_reply_t* reply);
// A property reply's bytes as text; absent for a missing property.
std::optional<std::string> propertyText(const xcb_get_property_reply_t* reply);

}  // namespace quillgate::x11
