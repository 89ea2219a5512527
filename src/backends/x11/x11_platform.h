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
class ExtentScale;
class Keyboard;
class DesktopHold;
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
    bool buttonDown(EventSourceState state, uint32_t button) override;
    bool pointerGrabbed() override;
    // The server grabbed for this client alone once the window manager has
    // caught up (desktop_hold.h); holds taken while one is held share it.
    Hold holdDesktop() override;

    // workspace.cpp
    std::optional<RunningApplication> runningApplication(int32_t pid) override;
    std::vector<RunningApplication> runningApplications(const std::string& bundle) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(int32_t pid) override;
    bool unhide(int32_t pid) override;
    bool inputMethod(int32_t pid) override;

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
    // events.cpp: whether the desktop is held. Applications wait for the
    // desktop meanwhile, so none is asked anything through accessibility:
    // the answer could not come before the hold ends.
    bool held() const { return !hold_.expired(); }

    // workspace.cpp: the client window that has the input focus, per the
    // window manager, and asking it to activate a client.
    std::optional<uint32_t> activeWindow();
    // The process of the client that has the input focus; absent when no
    // client has it, or its process is not named.
    std::optional<int32_t> focusOwner();
    void requestActivation(uint32_t window);
    // Brings a client the window manager keeps off the screen back: an
    // iconic one is de-iconified, one on another desktop moved to this one.
    void restore(uint32_t window);
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
    // The control's centre and its application's pid.
    struct ClickTarget {
        Point centre;
        int32_t pid = 0;
    };
    std::optional<ClickTarget> clickPoint(const Element& element);
    // The click's pointer move takes a moment to arrive, and meanwhile the
    // application may die or its window be covered, or someone may take the
    // pointer: the button goes down only when the target is still alive and
    // in front and the pointer free. The pointer is put back either way.
    int32_t pressByClick(const ClickTarget& target);
    bool stillClickable(const ClickTarget& target);

    std::unique_ptr<Connection> x_;
    std::unique_ptr<Bus> session_;
    std::unique_ptr<Bus> system_;
    std::unique_ptr<AccessibilityBus> a11y_;
    // accessibility.cpp: device pixels per accessibility pixel, per application.
    std::unique_ptr<ExtentScale> scales_;
    // events.cpp: the keyboard map, and the group locked before a chord
    // typed in another layout group, locked again once its key comes up.
    std::unique_ptr<Keyboard> keyboard_;
    std::unique_ptr<DesktopHold> desktopHold_;
    std::weak_ptr<void> hold_;  // the desktop's hold while anyone keeps it
    std::optional<uint32_t> groupToRestore_;
    std::mutex captureLock_;  // the shared segment below
    std::unique_ptr<SharedImage> segment_;
};

}  // namespace quillgate::x11
