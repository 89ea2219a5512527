// The child processes of the simulated desktop: whatever the executable, the
// screenshot tool, finishing in simulated time.

#include "backends/sim/sim_platform.h"
#include "backends/sim/tool.h"

namespace quillgate::sim {

namespace {

Array textArray(const std::vector<std::string>& strings) { return Array(strings.begin(), strings.end()); }

}  // namespace

// The running tool: its progress is looked at when the program asks whether
// it still runs, and it finishes (writing its file) at the first look after
// its delay.
class SimPlatform::Tool final : public ChildProcess {
public:
    Tool(SimPlatform& desktop, std::vector<std::string> arguments, double exitAt, const ToolSettings& settings)
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
    SimPlatform& desktop_;
    std::vector<std::string> arguments_;
    ToolJob job_;
    double exitAt_;
    bool writes_;
    double scale_;
    bool finished_ = false;
};

std::unique_ptr<ChildProcess> SimPlatform::launch(const std::string&, const std::vector<std::string>& arguments) {
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
