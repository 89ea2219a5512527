#pragma once
// What every operation reaches: the platform, and the only state that
// outlives a request, the capture bookkeeping.

#include <limits>
#include <memory>

#include "capture/pending_capture.h"
#include "platform/platform.h"

namespace quillgate {

struct Context {
    std::shared_ptr<Platform> platform;
    // Shared with screenshot threads, which may end their count after the
    // request (or the whole service) that started them is gone.
    std::shared_ptr<PendingCapture> pendingCapture = std::make_shared<PendingCapture>();
    // Wall-clock date before which the screenshot service is not tried; only
    // the request thread reads and writes it.
    double sckBadUntil = -std::numeric_limits<double>::infinity();
};

}  // namespace quillgate
