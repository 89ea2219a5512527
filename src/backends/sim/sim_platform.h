#pragma once
// The simulated desktop: the platform port answered from a scene (a JSON
// description of the desktop), with everything the program does to it written
// to an event log. Scene format: docs/scene-format.md.
//
// Every call brings the scene up to the current simulated time (applying due
// timeline entries and reactions) under one lock, then reads it afresh. Waits
// (sleep, a screenshot's delay) happen outside the lock, so a screenshot that
// never answers blocks only its own thread. How simulated time passes, and
// which threads may wait on it, is in clock.h.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "backends/sim/clock.h"
#include "backends/sim/event_log.h"
#include "backends/sim/helper_count.h"
#include "backends/sim/input.h"
#include "backends/sim/script.h"

namespace quillgate::sim {

struct DesktopSetup {
    std::string baseDir = ".";           // where relative picture paths start
    std::optional<std::string> logPath;  // the event log file, appended to
    std::string name = "scene";          // how error messages name the scene
};

class SimPlatform : public Platform {
public:
    // Throws std::runtime_error, one line starting with setup.name, when the
    // scene cannot be used or the log cannot be opened.
    explicit SimPlatform(Value scene, DesktopSetup setup = {});
    static std::shared_ptr<SimPlatform> fromText(std::string_view json, std::string baseDir = ".",
                                             std::optional<std::string> logPath = std::nullopt);
    // Pictures are found relative to the scene file's folder.
    static std::shared_ptr<SimPlatform> fromFile(const std::string& path,
                                             std::optional<std::string> logPath = std::nullopt);

    // Keeps every event from now on for events(); without it events go only
    // to the log file.
    void keepEvents();
    // Every event kept so far, as the log lines hold them.
    std::vector<Value> events() const;

    std::optional<Value> windowList(WindowListOption option) override;
    std::optional<std::vector<Rect>> displayBounds() override;
    int64_t cursorWindowLevel() override;
    std::optional<Value> sessionDictionary() override;
    bool screenCapturePreflight() override;
    bool screenCaptureRequest() override;

    bool accessibilityTrusted(bool prompt) override;
    Element applicationElement(int32_t pid) override;
    // The system-wide element: AXRole "AXSystemWide", AXFocusedApplication
    // (the frontmost application's element) and AXFocusedUIElement (read
    // from that application); it has no pid and no actions.
    Element systemWideElement() override;
    AxResult copyAttribute(const Element& element, const std::string& attribute) override;
    int32_t setAttribute(const Element& element, const std::string& attribute, const Value& value) override;
    int32_t performAction(const Element& element, const std::string& action) override;
    // Answers the same whichever element it is asked of: the hit test decides
    // the process, and the answer is that process's deepest element there.
    AxResult elementAtPosition(const Element& element, Point point) override;
    std::optional<int32_t> pidOfElement(const Element& element) override;
    bool elementsEqual(const Element& a, const Element& b) override;

    double secondsSinceLastEvent(EventSourceState state, uint32_t eventType) override;
    bool keyDown(EventSourceState state, uint16_t code) override;
    bool post(const KeyboardEvent& event) override;
    bool post(const MouseEvent& event) override;
    bool post(const ScrollEvent& event) override;
    std::optional<Point> pointerLocation() override;
    bool buttonDown(EventSourceState state, uint32_t button) override;
    bool pointerGrabbed() override;

    std::optional<RunningApplication> runningApplication(int32_t pid) override;
    std::vector<RunningApplication> runningApplications(const std::string& bundle) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(int32_t pid) override;
    bool unhide(int32_t pid) override;
    bool inputMethod(int32_t pid) override;

    std::vector<ShareableWindow> shareableWindows() override;
    Image screenshot(uint32_t windowID, int width, int height) override;
    // The child is the simulated screenshot tool whatever the executable; it
    // refers to this desktop, which must outlive it.
    std::unique_ptr<ChildProcess> launch(const std::string& executable,
                                         const std::vector<std::string>& arguments) override;

    int32_t ownPid() override;
    int32_t parentPid() override;
    std::string temporaryDirectory() override;
    double now() override;
    double monotonic() override;
    void sleep(double seconds) override;
    bool waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                   const std::function<bool()>& ready) override;
    Helper helper() override;
    // Blocks until every thread started with a helper handle has dropped it,
    // and with it everything it held. Blocking is no wait on the clock: on
    // virtual time, a helper that waits for time to pass never returns its
    // handle while the request thread is in here.
    void waitForHelpers();

private:
    class Tool;

    // Applies what is due by now and returns the simulated time; the caller
    // holds mutex_.
    double advance();

    mutable std::mutex mutex_;
    std::string baseDir_;
    Value scene_;
    double epoch_;
    std::shared_ptr<Clock> clock_;
    std::shared_ptr<HelperCount> helpers_ = std::make_shared<HelperCount>();
    Script script_;
    Since since_;
    EventLog log_;
};

}  // namespace quillgate::sim
