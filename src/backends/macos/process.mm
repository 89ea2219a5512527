// The process and time: its ids, the temporary directory, clocks, sleeping.
#import <Foundation/Foundation.h>

#include <unistd.h>

#include <chrono>

#include "backends/macos/cf_value.h"
#include "backends/macos/mac_platform.h"

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

void MacPlatform::sleep(double seconds) {
    @autoreleasepool {
        [NSThread sleepForTimeInterval:seconds];
    }
}

}  // namespace quillgate::macos
