#pragma once
// The port: everything quillgate asks of the operating system. It is shaped
// after the macOS calls so that the macOS backend stays a thin adapter and
// every type test, default and ordering rule lives in the shared core.
//
// Threads: the request thread makes every call, except shareableWindows(),
// screenshot() and popupScreenshot(), which the capture pipeline runs on a
// thread of its own, and which may still be running after the request that
// started it has been answered. Implementations are therefore safe to call
// from two threads at once.
//
// Coordinates: global screen points, origin at the top-left of the main
// display, y downwards, unless a method says otherwise.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/image.h"
#include "platform/value.h"

namespace quillgate {

// An error reported by the platform with its domain and code, as an NSError
// carries them (the screenshot service, launching a child process).
class PlatformError : public std::runtime_error {
public:
    PlatformError(std::string domain, int64_t code)
        : std::runtime_error(domain + " " + std::to_string(code)), domain(std::move(domain)), code(code) {}
    std::string domain;
    int64_t code;
};

// The screenshot service's error domain, named after the platform's constant.
inline constexpr const char* screenshotServiceDomain = "SCStreamErrorDomain";
// Its code for a user who declined screen recording.
inline constexpr int64_t screenshotUserDeclined = -3801;

// The domain of the error a keyboard event throws when no key of the
// keyboard layout in use can make it.
inline constexpr const char* keyboardLayoutDomain = "KeyboardLayoutErrorDomain";

// Window-list option sets: desktop elements excluded, optionally on-screen only.
enum class WindowListOption : uint32_t {
    excludeDesktop = 16,
    onScreenExcludeDesktop = 17,
};

// Event-source states.
enum class EventSourceState : int32_t {
    combinedSession = 0,
    hidSystem = 1,
};

// Accessibility error codes the core looks at; any other non-zero status is a failure too.
namespace axstatus {
inline constexpr int32_t success = 0;
inline constexpr int32_t failure = -25200;
inline constexpr int32_t illegalArgument = -25201;  // a handle or value the call cannot use
inline constexpr int32_t invalidElement = -25202;   // the element is gone
inline constexpr int32_t cannotComplete = -25204;
inline constexpr int32_t attributeUnsupported = -25205;
inline constexpr int32_t actionUnsupported = -25206;
inline constexpr int32_t noValue = -25212;
}  // namespace axstatus

// The result of an accessibility read: a status and, on success, the value.
struct AxResult {
    int32_t status = axstatus::noValue;
    Value value;
    bool ok() const { return status == axstatus::success; }
};

struct RunningApplication {
    int32_t pid = 0;
    std::optional<std::string> name;     // localized name
    std::optional<std::string> bundle;   // bundle identifier
    std::optional<double> launchDate;    // seconds since 1970
};

// A keyboard event; target is the HID event tap unless a pid is given.
struct KeyboardEvent {
    uint16_t code = 0;
    bool down = true;
    std::optional<uint64_t> flags;  // absent: the program sets none
    std::optional<int32_t> pid;
    EventSourceState source = EventSourceState::hidSystem;
};

// Event types as the event system numbers them: what secondsSinceLastEvent
// asks about, and the type of a posted mouse event.
namespace eventType {
enum : uint32_t {
    leftMouseDown = 1,
    leftMouseUp = 2,
    rightMouseDown = 3,
    rightMouseUp = 4,
    mouseMoved = 5,
    leftMouseDragged = 6,
    rightMouseDragged = 7,
    keyDown = 10,
    keyUp = 11,
    scrollWheel = 22,
    anyInput = 0xFFFFFFFF,  // not an event: asks for the most recent event of any kind
};
}  // namespace eventType

// Mouse event types and button numbers of posted mouse events.
namespace mouse {
inline constexpr int32_t leftDown = eventType::leftMouseDown;
inline constexpr int32_t leftUp = eventType::leftMouseUp;
inline constexpr int32_t rightDown = eventType::rightMouseDown;
inline constexpr int32_t rightUp = eventType::rightMouseUp;
inline constexpr int32_t moved = eventType::mouseMoved;
inline constexpr int32_t leftButton = 0;
inline constexpr int32_t rightButton = 1;
}  // namespace mouse

// A mouse event posted at the HID event tap, created without an event source.
struct MouseEvent {
    int32_t type = mouse::moved;
    Point location;
    int32_t button = mouse::leftButton;
    std::optional<int64_t> clickState;  // absent: the field is not set
};

// One line-unit scroll-wheel event on one wheel, posted at the HID event tap.
struct ScrollEvent {
    int32_t lines = 0;  // wheel-1 delta, positive up
    Point location;
};

// A window the screenshot service can capture.
struct ShareableWindow {
    uint32_t windowID = 0;
    std::optional<int32_t> pid;  // absent: no owning application
};

// A started child process (the screenshot tool).
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    virtual bool running() = 0;
    // Stops the child and waits until it has exited.
    virtual void terminate() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- window server ---
    // The window list for an option set, front to back. Absent when the call
    // returns nothing; otherwise whatever the window server gave, which need
    // not be an array of dictionaries.
    virtual std::optional<Value> windowList(WindowListOption option) = 0;
    // Bounds of the active displays in their listed order; absent on error.
    virtual std::optional<std::vector<Rect>> displayBounds() = 0;
    virtual int64_t cursorWindowLevel() = 0;
    // The current-session dictionary; absent when the call returns nothing.
    virtual std::optional<Value> sessionDictionary() = 0;
    virtual bool screenCapturePreflight() = 0;
    // Asks the system to show its screen-recording prompt; the request's answer.
    virtual bool screenCaptureRequest() = 0;

    // --- accessibility ---
    virtual bool accessibilityTrusted(bool prompt) = 0;
    virtual Element applicationElement(int32_t pid) = 0;
    virtual Element systemWideElement() = 0;
    virtual AxResult copyAttribute(const Element& element, const std::string& attribute) = 0;
    virtual int32_t setAttribute(const Element& element, const std::string& attribute, const Value& value) = 0;
    virtual int32_t performAction(const Element& element, const std::string& action) = 0;
    // The element at a point, asked of an application or the system-wide element.
    virtual AxResult elementAtPosition(const Element& element, Point point) = 0;
    virtual std::optional<int32_t> pidOfElement(const Element& element) = 0;
    virtual bool elementsEqual(const Element& a, const Element& b) = 0;

    // --- events ---
    // Seconds since the user's last event of a type (event-type number).
    virtual double secondsSinceLastEvent(EventSourceState state, uint32_t eventType) = 0;
    virtual bool keyDown(EventSourceState state, uint16_t code) = 0;
    // Each post returns false when the event could not be created; nothing is
    // posted then. A keyboard event whose key the keyboard layout cannot make
    // throws PlatformError (keyboardLayoutDomain), also before posting anything.
    virtual bool post(const KeyboardEvent& event) = 0;
    virtual bool post(const MouseEvent& event) = 0;
    virtual bool post(const ScrollEvent& event) = 0;
    // The pointer location read from a fresh event; absent when none can be created.
    virtual std::optional<Point> pointerLocation() = 0;
    // Whether a mouse button is held down now, by anyone: 0 left, 1 right,
    // 2 middle, then the further buttons.
    virtual bool buttonDown(EventSourceState state, uint32_t button) = 0;
    // Whether another program holds the pointer grabbed, so that pointer
    // events go to it wherever they happen; false where that cannot be told.
    virtual bool pointerGrabbed() = 0;

    // --- workspace ---
    virtual std::optional<RunningApplication> runningApplication(int32_t pid) = 0;
    // Running applications of a bundle identifier, in the workspace's order.
    virtual std::vector<RunningApplication> runningApplications(const std::string& bundle) = 0;
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    virtual bool activate(int32_t pid) = 0;
    virtual bool unhide(int32_t pid) = 0;
    // Whether the process is an input method: the windows it shows are its
    // candidate lists and compositions, shown while it is composing text.
    virtual bool inputMethod(int32_t pid) = 0;

    // --- capture ---
    // Windows the screenshot service can see (desktop windows excluded,
    // on-screen only). Throws PlatformError when listing fails.
    virtual std::vector<ShareableWindow> shareableWindows() = 0;
    // One single-window screenshot at width x height pixels, cursor hidden and
    // shadows ignored. Blocks until the service answers, which may be never;
    // called on a capture thread. Throws PlatformError.
    virtual Image screenshot(uint32_t windowID, int width, int height) = 0;
    // The screenshot of a popup: as screenshot(), but the window's shadow is
    // left as the service treats it by default. Called on a capture thread.
    // A backend that draws no shadows answers it with screenshot().
    virtual Image popupScreenshot(uint32_t windowID, int width, int height) {
        return screenshot(windowID, width, height);
    }
    // Starts a child process with its standard streams on the null device.
    // Throws PlatformError when it cannot be launched.
    virtual std::unique_ptr<ChildProcess> launch(const std::string& executable,
                                                 const std::vector<std::string>& arguments) = 0;

    // --- process and time ---
    virtual int32_t ownPid() = 0;
    virtual int32_t parentPid() = 0;
    // The temporary directory, ending with a path separator.
    virtual std::string temporaryDirectory() = 0;
    // Wall-clock date, seconds since 1970.
    virtual double now() = 0;
    // Monotonic clock in seconds, for deadlines.
    virtual double monotonic() = 0;
    virtual void sleep(double seconds) = 0;
    // Waits on `condition`, with `lock` held by the caller, until `ready()`
    // holds or monotonic() reaches `deadline`; returns ready(). A notify ends
    // the wait early: a timer built on it stops as soon as its work is done,
    // where a sleep would hold its thread to the end. This one suits a
    // monotonic() in real seconds; a backend whose time runs otherwise
    // overrides it. ready() reads only what `lock` guards: a backend may call
    // it from another thread, holding `lock`, while the caller waits.
    virtual bool waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                           const std::function<bool()>& ready) {
        // Beyond a few years nothing is waiting any more; the bound keeps the
        // wait in the range of the clock's ticks.
        const double seconds = std::min(deadline - monotonic(), 1e8);
        if (!(seconds > 0)) return ready();
        return condition.wait_for(lock, std::chrono::duration<double>(seconds), ready);
    }
    // A thread the caller starts to make platform calls for it (the capture
    // race's screenshot) holds this handle from before it starts until its
    // result is handed over and it has released all it held; dropping the
    // handle is its last act. A backend whose time is simulated holds time
    // still while such a thread works; on a real clock it is empty.
    using Helper = std::shared_ptr<void>;
    virtual Helper helper() { return nullptr; }

    // Holds the desktop still from the last proof of a target to the event
    // posted at it: until the handle is dropped no other application can
    // map, raise, move or focus a window, so what the window server said
    // while it was held is still so when an event posted while it was held
    // arrives. While held only the window server may be asked (an
    // application answering through accessibility may itself be waiting for
    // the desktop), and only briefly: the rest of the desktop waits too.
    // Empty on a desktop that cannot be held; there the proof and the event
    // stay as close together as the calls allow.
    using Hold = std::shared_ptr<void>;
    virtual Hold holdDesktop() { return nullptr; }

    // What a desktop whose permissions are not the Mac's (granted in System
    // Settings to the application that launched this process) says about
    // one, for the doctor: what a grant rests on here and how to get it.
    // Absent on the Mac and on a desktop that simulates it.
    enum class Permission { accessibility, screenRecording };
    struct PermissionSource {
        std::string granted;  // what holds when it is granted
        std::string advice;   // what to do when it is not
    };
    virtual std::optional<PermissionSource> permissionSource(Permission) { return std::nullopt; }
};

}  // namespace quillgate
