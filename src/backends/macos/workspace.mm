// The workspace: running applications, the frontmost one, activation.
#import <AppKit/AppKit.h>

#include "backends/macos/cf_value.h"
#include "backends/macos/mac_platform.h"

namespace quillgate::macos {

namespace {

std::optional<std::string> text(NSString* value) {
    if (!value) return std::nullopt;
    return utf8(value);
}

RunningApplication describe(NSRunningApplication* app) {
    RunningApplication described;
    described.pid = app.processIdentifier;
    described.name = text(app.localizedName);
    described.bundle = text(app.bundleIdentifier);
    if (NSDate* launched = app.launchDate) described.launchDate = launched.timeIntervalSince1970;
    return described;
}

// The workspace's state (which applications run, which one is frontmost,
// whether one has quit or been relaunched) changes only when the main run
// loop handles the system's messages. The request loop waits on its input
// rather than in a run loop, so before every lookup let the loop handle every
// message that is waiting, one per turn, without waiting for more: one turn
// alone could leave the answer several changes behind. The turns are
// bounded, so a source that keeps signalling cannot hold the request.
void catchUpWithWorkspace() {
    if (![NSThread isMainThread]) return;
    constexpr int maxTurns = 256;
    for (int turn = 0; turn < maxTurns; ++turn)
        if (CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, true) != kCFRunLoopRunHandledSource) return;
}

NSRunningApplication* applicationOf(int32_t pid) {
    catchUpWithWorkspace();
    return [NSRunningApplication runningApplicationWithProcessIdentifier:pid];
}

}  // namespace

std::optional<RunningApplication> MacPlatform::runningApplication(int32_t pid) {
    @autoreleasepool {
        NSRunningApplication* app = applicationOf(pid);
        if (!app) return std::nullopt;
        return describe(app);
    }
}

std::vector<RunningApplication> MacPlatform::runningApplications(const std::string& bundle) {
    @autoreleasepool {
        std::vector<RunningApplication> found;
        NSString* identifier = nsString(bundle);
        if (!identifier) return found;
        catchUpWithWorkspace();
        for (NSRunningApplication* app in [NSRunningApplication runningApplicationsWithBundleIdentifier:identifier]) {
            found.push_back(describe(app));
        }
        return found;
    }
}

std::optional<RunningApplication> MacPlatform::frontmostApplication() {
    @autoreleasepool {
        catchUpWithWorkspace();
        NSRunningApplication* app = [NSWorkspace sharedWorkspace].frontmostApplication;
        if (!app) return std::nullopt;
        return describe(app);
    }
}

// An application that is gone is nil here, and a message to nil answers false.
bool MacPlatform::activate(int32_t pid) {
    @autoreleasepool {
        return [applicationOf(pid) activateWithOptions:0];
    }
}

bool MacPlatform::unhide(int32_t pid) {
    @autoreleasepool {
        return [applicationOf(pid) unhide];
    }
}

// Input methods are bundles installed in an "Input Methods" folder (of the
// system, the computer or the user); their identifiers name them so too.
bool MacPlatform::inputMethod(int32_t pid) {
    @autoreleasepool {
        NSRunningApplication* app = applicationOf(pid);
        if (!app) return false;
        NSString* path = app.bundleURL.path;
        if (path && [path rangeOfString:@"/Input Methods/"].location != NSNotFound) return true;
        NSString* identifier = app.bundleIdentifier;
        return identifier &&
               [identifier rangeOfString:@".inputmethod." options:NSCaseInsensitiveSearch].location != NSNotFound;
    }
}

}  // namespace quillgate::macos
