#pragma once
// The macOS platform: a thin adapter, each method one or a few system calls.
// It keeps no state, so the request thread and a capture thread may call it
// at once. Its methods are defined by concern, one file each, named below.
// Private to this backend; the core sees only the port.

#include "platform/platform.h"

namespace quillgate::macos {

class MacPlatform final : public Platform {
public:
    // platform_start.mm: readies the process for the calls below.
    MacPlatform();

    // window_server.mm
    std::optional<Value> windowList(WindowListOption option) override;
    std::optional<std::vector<Rect>> displayBounds() override;
    int64_t cursorWindowLevel() override;
    std::optional<Value> sessionDictionary() override;
    bool screenCapturePreflight() override;
    bool screenCaptureRequest() override;

    // accessibility.mm
    bool accessibilityTrusted(bool prompt) override;
    Element applicationElement(int32_t pid) override;
    Element systemWideElement() override;
    AxResult copyAttribute(const Element& element, const std::string& attribute) override;
    int32_t setAttribute(const Element& element, const std::string& attribute, const Value& value) override;
    int32_t performAction(const Element& element, const std::string& action) override;
    AxResult elementAtPosition(const Element& element, Point point) override;
    std::optional<int32_t> pidOfElement(const Element& element) override;
    bool elementsEqual(const Element& a, const Element& b) override;

    // events.mm
    double secondsSinceLastEvent(EventSourceState state, uint32_t eventType) override;
    bool keyDown(EventSourceState state, uint16_t code) override;
    bool post(const KeyboardEvent& event) override;
    bool post(const MouseEvent& event) override;
    bool post(const ScrollEvent& event) override;
    std::optional<Point> pointerLocation() override;
    bool buttonDown(EventSourceState state, uint32_t button) override;
    bool pointerGrabbed() override;

    // workspace.mm
    std::optional<RunningApplication> runningApplication(int32_t pid) override;
    std::vector<RunningApplication> runningApplications(const std::string& bundle) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(int32_t pid) override;
    bool unhide(int32_t pid) override;
    bool inputMethod(int32_t pid) override;

    // screen_capture.mm
    std::vector<ShareableWindow> shareableWindows() override;
    Image screenshot(uint32_t windowID, int width, int height) override;
    Image popupScreenshot(uint32_t windowID, int width, int height) override;

    // child_process.mm
    std::unique_ptr<ChildProcess> launch(const std::string& executable,
                                         const std::vector<std::string>& arguments) override;

    // process.mm
    int32_t ownPid() override;
    int32_t parentPid() override;
    std::string temporaryDirectory() override;
    double now() override;
    double monotonic() override;
    void sleep(double seconds) override;
};

}  // namespace quillgate::macos
