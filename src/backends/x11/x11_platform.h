#pragma once
// The X11 platform: the port answered from an X display (EWMH window
// manager, Composite, MIT-SHM, XTest, RandR, X-Resource, MIT-SCREEN-SAVER),
// the accessibility bus (AT-SPI) and /proc. Its methods are defined by
// concern, one file each, named below. Private to this backend; the core
// sees only the port.
//
// Threads: the X connection and the D-Bus connections are safe to share;
// libatspi is not, and only the request thread reaches it (the capture
// thread calls shareableWindows() and screenshot(), which use X alone).

#include <memory>
#include <mutex>
#include <optional>

#include "platform/platform.h"

namespace quillgate::x11 {

class Connection;
class Bus;
class AccessibilityBus;
class SharedImage;
struct StackedWindow;

class X11Platform final : public Platform {
public:
    // Connects to the display; throws std::runtime_error with one line when
    // it cannot be reached.
    explicit X11Platform(const std::string& display);
    ~X11Platform() override;

    // window_server.cpp
    std::optional<Value> windowList(WindowListOption option) override;
    std::optional<std::vector<Rect>> displayBounds() override;
    int64_t cursorWindowLevel() override;
    std::optional<Value> sessionDictionary() override;
    bool screenCapturePreflight() override;
    bool screenCaptureRequest() override;
    // permission_source.cpp
    std::optional<PermissionSource> permissionSource(Permission which) override;

    // accessibility.cpp (attributes in ax_attributes.cpp)
    bool accessibilityTrusted(bool prompt) override;
    Element applicationElement(int32_t pid) override;
    Element systemWideElement() override;
    AxResult copyAttribute(const Element& element, const std::string& attribute) override;
    int32_t setAttribute(const Element& element, const std::string& attribute, const Value& value) override;
    int32_t performAction(const Element& element, const std::string& action) override;
    AxResult elementAtPosition(const Element& element, Point point) override;
    std::optional<int32_t> pidOfElement(const Element& element) override;
    bool elementsEqual(const Element& a, const Element& b) override;

    // events.cpp
    double secondsSinceLastEvent(EventSourceState state, uint32_t eventType) override;
    bool keyDown(EventSourceState state, uint16_t code) override;
    bool post(const KeyboardEvent& event) override;
    bool post(const MouseEvent& event) override;
    bool post(const ScrollEvent& event) override;
    std::optional<Point> pointerLocation() override;

    // workspace.cpp
    std::optional<RunningApplication> runningApplication(int32_t pid) override;
    std::vector<RunningApplication> runningApplications(const std::string& bundle) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(int32_t pid) override;
    bool unhide(int32_t pid) override;

    // screen_capture.cpp
    std::vector<ShareableWindow> shareableWindows() override;
    Image screenshot(uint32_t windowID, int width, int height) override;

    // child_process.cpp
    std::unique_ptr<ChildProcess> launch(const std::string& executable,
                                         const std::vector<std::string>& arguments) override;

    // process.cpp
    int32_t ownPid() override;
    int32_t parentPid() override;
    std::string temporaryDirectory() override;
    double now() override;
    double monotonic() override;
    void sleep(double seconds) override;

private:
    // workspace.cpp: the client window that has the input focus, per the
    // window manager, and asking it to activate a client.
    std::optional<uint32_t> activeWindow();
    void requestActivation(uint32_t window);
    // The pid's client windows, front to back.
    std::vector<StackedWindow> windowsOf(int32_t pid);
    // accessibility.cpp: the application of a pid on the accessibility bus.
    Element resolvedApplication(int32_t pid);
    // The client window behind an accessibility window, by pid, title and
    // frame origin; activation and raising are the window manager's.
    std::optional<uint32_t> clientOf(const Element& window);
    int32_t raise(const Element& window);
    // A press inside the application's accessibility handler runs what the
    // press opens right there: a dialog's nested main loop then holds the
    // handler, and the application answers no accessibility call until the
    // dialog closes. A click reaches the application as input instead, so a
    // control that is in front at its centre is pressed by clicking it.
    std::optional<Point> clickPoint(const Element& element);
    void pressByClick(Point point);

    std::unique_ptr<Connection> x_;
    std::unique_ptr<Bus> session_;
    std::unique_ptr<Bus> system_;
    std::unique_ptr<AccessibilityBus> a11y_;
    std::mutex captureLock_;  // the shared segment below
    std::unique_ptr<SharedImage> segment_;
};

}  // namespace quillgate::x11
