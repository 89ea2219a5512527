// The process and time: its ids, the temporary directory, clocks, sleeping.
#import <Foundation/Foundation.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/macos/cf_value.h"
#include "platform/macos/mac_platform.h"

namespace quillgate::macos {

int32_t MacPlatform::ownPid() { return getpid(); }

int32_t MacPlatform::parentPid() { return getppid(); }

std::string MacPlatform::temporaryDirectory() {
    @autoreleasepool {
        // The system's answer already ends with "/".
        return utf8(NSTemporaryDirectory());
    }
}

double MacPlatform::now() { return CFAbsoluteTimeGetCurrent() + kCFAbsoluteTimeIntervalSince1970; }

double MacPlatform::monotonic() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool MacPlatform::waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                            const std::function<bool()>& ready) {
    if (std::isnan(deadline)) return ready();
    // monotonic() counts the steady clock's seconds, so the deadline is one of its instants;
    // the bound keeps a far-off one in the range of its ticks.
    const double seconds = std::min(deadline, monotonic() + 1e8);
    const auto until = std::chrono::steady_clock::time_point(
        std::chrono::ceil<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds)));
    return condition.wait_until(lock, until, ready);
}

void MacPlatform::sleep(double seconds) { [NSThread sleepForTimeInterval:seconds]; }

}  // namespace quillgate::macos
