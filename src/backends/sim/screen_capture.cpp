// The screen-capture calls of the simulated desktop: the screenshot service,
// answering in simulated time.
#include "backends/sim/sim_platform.h"
#include "backends/sim/screenshot.h"

namespace quillgate::sim {

std::vector<ShareableWindow> SimPlatform::shareableWindows() {
    std::lock_guard lock(mutex_);
    double now = advance();
    log_.append(now, "sck", {{"call", "content"}});
    return sim::shareableWindows(scene_);
}

Image SimPlatform::screenshot(uint32_t windowID, int width, int height) {
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
    // One the scene says never answers waits for good, holding nothing.
    if (!delay) clock_->blockForever();
    clock_->sleepUntil(requested + *delay);
    Value scene;
    {
        std::lock_guard lock(mutex_);
        advance();
        scene = scene_;
    }
    // Rendered outside the lock: the request thread keeps going meanwhile.
    return screenshotAnswer(scene, baseDir_, windowID, width, height);
}

}  // namespace quillgate::sim
