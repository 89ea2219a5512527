#pragma once
// The accessibility bus, checked by us before libatspi ever runs: libatspi
// ends the process when it finds no bus, and a stale address makes its
// registry wait half a minute. Found as the toolkits find it (the
// AT_SPI_BUS_ADDRESS variable, the root window's AT_SPI_BUS property, the
// session bus's org.a11y.Bus), then pinned in AT_SPI_BUS_ADDRESS so that
// libatspi talks to the bus we checked. libatspi cannot move to another bus,
// so when that bus goes away after it was set up the process ends
// (desktop_lost.h) rather than serve without accessibility for good.

#include <memory>
#include <string>

namespace quillgate::x11 {

class Bus;
class Connection;

class AccessibilityBus {
public:
    AccessibilityBus(const Connection& x, const Bus* session);

    // The registry answers on the bus and the session says accessibility is
    // on. Only then may libatspi be used.
    bool trusted();
    // As trusted(), switching accessibility on first when it is off, as an
    // assistive technology starting up does.
    bool trustedEnabling();
    // libatspi may be called: it was set up by an earlier answer, or is now.
    bool usable() { return libraryReady_ || trusted(); }

private:
    bool answers();
    bool ready();
    [[noreturn]] void gone() const;

    const Connection& x_;
    const Bus* session_;
    std::string address_;
    std::unique_ptr<Bus> bus_;
    bool libraryReady_ = false;
};

}  // namespace quillgate::x11
