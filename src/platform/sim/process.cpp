// The process and time calls of the simulated desktop: the scene's own ids,
// the temporary folder, and simulated time.

#include <cstdlib>

#include "platform/sim/desktop.h"
#include "platform/sim/workspace.h"

namespace quillgate::sim {

int32_t Desktop::ownPid() {
    std::lock_guard lock(mutex_);
    advance();
    return sim::ownPid(scene_);
}

int32_t Desktop::parentPid() {
    std::lock_guard lock(mutex_);
    advance();
    return sim::parentPid(scene_);
}

std::string Desktop::temporaryDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (!folder.ends_with('/')) folder.push_back('/');
    return folder;
}

double Desktop::now() { return epoch_ + clock_->now(); }

double Desktop::monotonic() { return clock_->now(); }

void Desktop::sleep(double seconds) {
    if (seconds > 0) clock_->sleepUntil(clock_->now() + seconds);
}

bool Desktop::waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                        const std::function<bool()>& ready) {
    return clock_->waitUntil(condition, lock, deadline, ready);
}

Platform::Helper Desktop::helper() { return clock_->helper(); }

}  // namespace quillgate::sim
