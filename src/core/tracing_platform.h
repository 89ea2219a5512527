#pragma once
// The port with a counting layer in front: every call goes on to the
// platform underneath, and those a request trace follows (window-list and
// accessibility reads, posted input) are timed or counted on the active
// trace. The request service puts it in place only when tracing is on, so
// untraced requests reach the platform as directly as ever.
//
// Calls from a screenshot thread find no active trace there and are only
// passed on: the capture race accounts for that thread's time itself.
//
// Every method of the port is passed on here, including those with a
// default body: a method added to the port must be added here too, or a
// traced service would run the default instead of the backend's.

#include <memory>

#include "platform/platform.h"

namespace quillgate {

class TracingPlatform final : public Platform {
public:
    explicit TracingPlatform(std::shared_ptr<Platform> platform) : platform_(std::move(platform)) {}

    std::optional<Value> windowList(WindowListOption option) override;
    std::optional<std::vector<Rect>> displayBounds() override { return platform_->displayBounds(); }
    int64_t cursorWindowLevel() override { return platform_->cursorWindowLevel(); }
    std::optional<Value> sessionDictionary() override { return platform_->sessionDictionary(); }
    bool screenCapturePreflight() override { return platform_->screenCapturePreflight(); }
    bool screenCaptureRequest() override { return platform_->screenCaptureRequest(); }

    bool accessibilityTrusted(bool prompt) override { return platform_->accessibilityTrusted(prompt); }
    Element applicationElement(int32_t pid) override { return platform_->applicationElement(pid); }
    Element systemWideElement() override { return platform_->systemWideElement(); }
    AxResult copyAttribute(const Element& element, const std::string& attribute) override;
    int32_t setAttribute(const Element& element, const std::string& attribute, const Value& value) override;
    int32_t performAction(const Element& element, const std::string& action) override;
    AxResult elementAtPosition(const Element& element, Point point) override;
    std::optional<int32_t> pidOfElement(const Element& element) override { return platform_->pidOfElement(element); }
    bool elementsEqual(const Element& a, const Element& b) override { return platform_->elementsEqual(a, b); }

    double secondsSinceLastEvent(EventSourceState state, uint32_t eventType) override {
        return platform_->secondsSinceLastEvent(state, eventType);
    }
    bool keyDown(EventSourceState state, uint16_t code) override { return platform_->keyDown(state, code); }
    bool post(const KeyboardEvent& event) override;
    bool post(const MouseEvent& event) override;
    bool post(const ScrollEvent& event) override;
    std::optional<Point> pointerLocation() override { return platform_->pointerLocation(); }
    bool buttonDown(EventSourceState state, uint32_t button) override { return platform_->buttonDown(state, button); }
    bool pointerGrabbed() override { return platform_->pointerGrabbed(); }

    std::optional<RunningApplication> runningApplication(int32_t pid) override {
        return platform_->runningApplication(pid);
    }
    std::vector<RunningApplication> runningApplications(const std::string& bundle) override {
        return platform_->runningApplications(bundle);
    }
    std::optional<RunningApplication> frontmostApplication() override { return platform_->frontmostApplication(); }
    bool activate(int32_t pid) override;
    bool unhide(int32_t pid) override;
    bool inputMethod(int32_t pid) override { return platform_->inputMethod(pid); }

    std::vector<ShareableWindow> shareableWindows() override { return platform_->shareableWindows(); }
    Image screenshot(uint32_t windowID, int width, int height) override {
        return platform_->screenshot(windowID, width, height);
    }
    Image popupScreenshot(uint32_t windowID, int width, int height) override {
        return platform_->popupScreenshot(windowID, width, height);
    }
    std::unique_ptr<ChildProcess> launch(const std::string& executable,
                                         const std::vector<std::string>& arguments) override {
        return platform_->launch(executable, arguments);
    }

    int32_t ownPid() override { return platform_->ownPid(); }
    int32_t parentPid() override { return platform_->parentPid(); }
    std::string temporaryDirectory() override { return platform_->temporaryDirectory(); }
    double now() override { return platform_->now(); }
    double monotonic() override { return platform_->monotonic(); }
    void sleep(double seconds) override { platform_->sleep(seconds); }
    bool waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                   const std::function<bool()>& ready) override {
        return platform_->waitUntil(condition, lock, deadline, ready);
    }
    Helper helper() override { return platform_->helper(); }
    Hold holdDesktop() override { return platform_->holdDesktop(); }
    std::optional<PermissionSource> permissionSource(Permission which) override {
        return platform_->permissionSource(which);
    }

private:
    std::shared_ptr<Platform> platform_;
};

}  // namespace quillgate
