#pragma once
// The helper handles the simulated desktop has handed out and not yet had
// back. A thread started for the desktop (the capture race's screenshot)
// drops its handle as the last thing it does, so when none is out no such
// thread holds anything any more: a harness that checks for leaks between
// requests waits for that before each check.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/platform.h"

namespace quillgate::sim {

class HelperCount : public std::enable_shared_from_this<HelperCount> {
public:
    // A handle that holds `inner` (the clock's own, possibly empty) and counts
    // as out until it is dropped. The count must be owned by a shared_ptr.
    Platform::Helper handOut(Platform::Helper inner);
    // Blocks until every handle handed out has been dropped.
    void waitAllBack();

private:
    std::mutex lock_;
    std::condition_variable back_;
    int64_t out_ = 0;
};

}  // namespace quillgate::sim
