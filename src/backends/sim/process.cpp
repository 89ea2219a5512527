// The process and time calls of the simulated desktop: the scene's own ids,
// the temporary folder, and simulated time.

#include <cstdlib>

#include "backends/sim/sim_platform.h"
#include "backends/sim/workspace.h"

namespace quillgate::sim {

int32_t SimPlatform::ownPid() {
    std::lock_guard lock(mutex_);
    advance();
    return sim::ownPid(scene_);
}

int32_t SimPlatform::parentPid() {
    std::lock_guard lock(mutex_);
    advance();
    return sim::parentPid(scene_);
}

std::string SimPlatform::temporaryDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (!folder.ends_with('/')) folder.push_back('/');
    return folder;
}

double SimPlatform::now() { return epoch_ + clock_->now(); }

double SimPlatform::monotonic() { return clock_->now(); }

void SimPlatform::sleep(double seconds) {
    if (seconds > 0) clock_->sleepUntil(clock_->now() + seconds);
}

bool SimPlatform::waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                        const std::function<bool()>& ready) {
    return clock_->waitUntil(condition, lock, deadline, ready);
}

Platform::Helper SimPlatform::helper() { return helpers_->handOut(clock_->helper()); }

void SimPlatform::waitForHelpers() { helpers_->waitAllBack(); }

}  // namespace quillgate::sim
