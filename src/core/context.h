#pragma once
// What every operation reaches: the platform, and the only state that
// outlives a request, the capture bookkeeping.

#include <limits>
#include <memory>

#include "platform/platform.h"

namespace quillgate {

class PendingCapture;  // kept by the capture race, which defines it

struct Context {
    std::shared_ptr<Platform> platform;
    // Shared with screenshot threads, which may end their count after the
    // request (or the whole service) that started them is gone. The request
    // service makes it when it starts.
    std::shared_ptr<PendingCapture> pendingCapture;
    // Wall-clock date before which the screenshot service is not tried; only
    // the request thread reads and writes it.
    double sckBadUntil = -std::numeric_limits<double>::infinity();
};

}  // namespace quillgate
