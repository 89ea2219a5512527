#include "backends/x11/a11y_bus.h"

#include <atspi/atspi.h>

#include <cstdlib>

#include "backends/x11/connection.h"
#include "backends/x11/dbus_bus.h"
#include "backends/x11/desktop_lost.h"

namespace quillgate::x11 {

namespace {

constexpr const char* busService = "org.a11y.Bus";
constexpr const char* busPath = "/org/a11y/bus";
constexpr const char* statusInterface = "org.a11y.Status";
constexpr const char* registry = "org.a11y.atspi.Registry";

// Long enough for a busy but live application, short enough that a frozen
// one fails a request instead of stalling it. The same bound applies from an
// application's first call on (libatspi would otherwise allow it 15 seconds).
constexpr int atspiTimeoutMs = 2000;

std::string addressOf(const Connection& x, const Bus* session) {
    if (const char* set = std::getenv("AT_SPI_BUS_ADDRESS"); set && *set) return set;
    if (auto property = x.text(x.root(), x.atoms().atSpiBus)) return *property;
    if (session) {
        if (auto answer = session->callForText(busService, busPath, busService, "GetAddress")) return *answer;
    }
    return {};
}

}  // namespace

AccessibilityBus::AccessibilityBus(const Connection& x, const Bus* session) : x_(x), session_(session) {}

bool AccessibilityBus::answers() {
    if (!bus_) {
        address_ = addressOf(x_, session_);
        if (address_.empty()) return false;
        bus_ = Bus::open(address_);
        if (!bus_) {
            if (libraryReady_) gone();
            return false;
        }
    }
    if (bus_->hasOwner(registry)) return true;
    // libatspi stays on the bus it was set up on: once that bus is gone,
    // accessibility cannot come back in this process.
    if (libraryReady_ && !bus_->connected()) gone();
    // The bus lost its registry, or went away before libatspi was set up;
    // look again next time.
    bus_.reset();
    return false;
}

void AccessibilityBus::gone() const { desktopLost("the accessibility bus \"" + address_ + "\" is gone"); }

bool AccessibilityBus::ready() {
    if (libraryReady_) return true;
    setenv("AT_SPI_BUS_ADDRESS", address_.c_str(), 1);
    atspi_init();
    atspi_set_timeout(atspiTimeoutMs, atspiTimeoutMs);
    libraryReady_ = true;
    return true;
}

bool AccessibilityBus::trusted() {
    if (!session_ || !answers()) return false;
    if (session_->flagProperty(busService, busPath, statusInterface, "IsEnabled") != true) return false;
    return ready();
}

bool AccessibilityBus::trustedEnabling() {
    if (!session_ || !answers()) return false;
    if (session_->flagProperty(busService, busPath, statusInterface, "IsEnabled") != true &&
        !session_->setFlagProperty(busService, busPath, statusInterface, "IsEnabled", true)) {
        return false;
    }
    return ready();
}

}  // namespace quillgate::x11
