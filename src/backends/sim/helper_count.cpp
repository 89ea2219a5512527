#include "backends/sim/helper_count.h"

namespace quillgate::sim {

Platform::Helper HelperCount::handOut(Platform::Helper inner) {
    // The deleter drops the clock's handle first, then counts this one back.
    Platform::Helper handle(new Platform::Helper(std::move(inner)), [count = shared_from_this()](void* held) {
        delete static_cast<Platform::Helper*>(held);
        std::lock_guard hold(count->lock_);
        if (--count->out_ == 0) count->back_.notify_all();
    });
    std::lock_guard hold(lock_);
    ++out_;
    return handle;
}

void HelperCount::waitAllBack() {
    std::unique_lock hold(lock_);
    back_.wait(hold, [&] { return out_ == 0; });
}

}  // namespace quillgate::sim
