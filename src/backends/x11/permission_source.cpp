// What the two permissions rest on in an X11 session, for the doctor: X asks
// no one for either; the display's extensions and the accessibility bus
// decide.
#include "backends/x11/connection.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

std::optional<Platform::PermissionSource> X11Platform::permissionSource(Permission which) {
    const std::string display = "\"" + x_->display() + "\"";
    if (which == Permission::screenRecording) {
        return PermissionSource{
            "the X display " + display + " has Composite and MIT-SHM",
            "run on an X server with the Composite and MIT-SHM extensions (DISPLAY is " + display + ")"};
    }
    return PermissionSource{
        "the accessibility bus answers and accessibility is on",
        "start the session's accessibility bus (at-spi-bus-launcher, with DBUS_SESSION_BUS_ADDRESS naming the "
        "session bus), then switch accessibility on (quillgate --request-accessibility-permission, or "
        "gsettings set org.gnome.desktop.interface toolkit-accessibility true) and run the application again"};
}

}  // namespace quillgate::x11
