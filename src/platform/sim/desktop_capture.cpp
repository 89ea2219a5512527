// The capture calls of the simulated desktop: the screenshot service and the
// screenshot tool, both finishing in simulated time.
#include <condition_variable>

#include "platform/sim/desktop.h"
#include "platform/sim/screenshot.h"
#include "platform/sim/tool.h"

namespace quillgate::sim {

namespace {

// A screenshot the scene says never answers: the capture thread waits for
// good, holding nothing.
[[noreturn]] void waitForever() {
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock lock(mutex);
    for (;;) never.wait(lock);
}

Array textArray(const std::vector<std::string>& strings) { return Array(strings.begin(), strings.end()); }

}  // namespace

// The running tool: its progress is looked at when the program asks whether
// it still runs, and it finishes (writing its file) at the first look after
// its delay.
class Desktop::Tool final : public ChildProcess {
public:
    Tool(Desktop& desktop, std::vector<std::string> arguments, double exitAt, const ToolSettings& settings)
        : desktop_(desktop),
          arguments_(std::move(arguments)),
          job_(parseToolArguments(arguments_)),
          exitAt_(exitAt),
          writes_(settings.writes),
          scale_(settings.scale) {}

    bool running() override {
        std::lock_guard lock(desktop_.mutex_);
        double now = desktop_.advance();
        if (finished_ || now < exitAt_) return !finished_;
        finished_ = true;
        if (writes_) writeToolPicture(desktop_.scene_, desktop_.baseDir_, job_, scale_);
        return false;
    }

    void terminate() override {
        std::lock_guard lock(desktop_.mutex_);
        double now = desktop_.advance();
        if (finished_) return;
        finished_ = true;
        desktop_.log_.append(now, "toolTerminated", {{"args", textArray(arguments_)}});
    }

private:
    Desktop& desktop_;
    std::vector<std::string> arguments_;
    ToolJob job_;
    double exitAt_;
    bool writes_;
    double scale_;
    bool finished_ = false;
};

std::vector<ShareableWindow> Desktop::shareableWindows() {
    std::lock_guard lock(mutex_);
    double now = advance();
    log_.append(now, "sck", {{"call", "content"}});
    return sim::shareableWindows(scene_);
}

Image Desktop::screenshot(uint32_t windowID, int width, int height) {
    double requested = 0;
    std::optional<double> delay;
    {
        std::lock_guard lock(mutex_);
        requested = advance();
        log_.append(requested, "sck",
                    {{"call", "screenshot"}, {"windowID", windowID}, {"width", width}, {"height", height}});
        script_.happened(Object{{"sck", true}}, requested);
        delay = screenshotDelay(scene_);
    }
    if (!delay) waitForever();
    clock_.sleepUntil(requested + *delay);
    Value scene;
    {
        std::lock_guard lock(mutex_);
        advance();
        scene = scene_;
    }
    // Rendered outside the lock: the request thread keeps going meanwhile.
    return screenshotAnswer(scene, baseDir_, windowID, width, height);
}

std::unique_ptr<ChildProcess> Desktop::launch(const std::string&, const std::vector<std::string>& arguments) {
    std::lock_guard lock(mutex_);
    double now = advance();
    ToolSettings settings = toolSettings(scene_);
    log_.append(now, "tool", {{"args", textArray(arguments)}, {"launched", settings.launches}});
    // What NSTask reports for an executable that cannot be started.
    if (!settings.launches) throw PlatformError("NSCocoaErrorDomain", 4);
    script_.happened(Object{{"tool", true}}, now);
    return std::make_unique<Tool>(*this, arguments, now + settings.delay, settings);
}

}  // namespace quillgate::sim
