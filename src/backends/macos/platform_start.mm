// What the process needs of the system before the platform's first call.
#import <Foundation/Foundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "backends/macos/mac_platform.h"

namespace quillgate::macos {

MacPlatform::MacPlatform() {
    @autoreleasepool {
        // Core Graphics sets up its display side on first use. A screenshot
        // filter asks it for the window's displays, which aborts a process
        // where that has not happened yet (a command-line program without
        // AppKit's application). Asking for the main display sets it up.
        (void)CGMainDisplayID();
        // Cocoa protects its shared state only once it knows the process is
        // multithreaded, which it learns when the first NSThread starts. The
        // capture threads are not NSThreads, so one that ends at once is
        // started before any of them.
        if (![NSThread isMultiThreaded]) [NSThread detachNewThreadWithBlock:^{}];
    }
}

}  // namespace quillgate::macos
