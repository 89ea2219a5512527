#include "backends/x11/x11_platform.h"

#include <cstdlib>

#include "backends/x11/a11y_bus.h"
#include "backends/x11/ax_scale.h"
#include "backends/x11/connection.h"
#include "backends/x11/dbus_bus.h"
#include "backends/x11/desktop_hold.h"
#include "backends/x11/keyboard.h"
#include "backends/x11/shared_image.h"

namespace quillgate::x11 {

namespace {

// libdbus launches a session bus of its own when none is named; neither we
// nor libatspi may do that behind the user's back, so an unset address is
// made one that can only fail.
std::unique_ptr<Bus> sessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address || !*address) {
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        return nullptr;
    }
    return Bus::open(address);
}

}  // namespace

X11Platform::X11Platform(const std::string& display)
    : x_(std::make_unique<Connection>(display)),
      session_(sessionBus()),
      system_(Bus::system()),
      scales_(std::make_unique<ExtentScale>()),
      keyboard_(std::make_unique<Keyboard>(*x_)),
      desktopHold_(std::make_unique<DesktopHold>(*x_)) {
    a11y_ = std::make_unique<AccessibilityBus>(*x_, session_.get());
}

X11Platform::~X11Platform() = default;

}  // namespace quillgate::x11
