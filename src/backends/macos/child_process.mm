// Child processes: the screenshot tool, started with its standard streams on
// the null device and polled by the caller.
#import <Foundation/Foundation.h>

#include <signal.h>

#include <chrono>
#include <optional>
#include <thread>

#include "backends/macos/cf_value.h"
#include "backends/macos/mac_platform.h"
#include "backends/macos/platform_errors.h"

namespace quillgate::macos {

namespace {

class TaskProcess final : public ChildProcess {
public:
    explicit TaskProcess(NSTask* task) : task_(task) {}

    bool running() override {
        @autoreleasepool {
            return task_.running;
        }
    }

    // SIGTERM, then SIGKILL for a tool that ignores it past the grace; the
    // task reaps its process itself, so a tool stopped at its deadline leaves
    // no zombie. Polled, never waitUntilExit: that has no limit and runs the
    // calling thread's run loop.
    void terminate() override {
        @autoreleasepool {
            [task_ terminate];
            if (exited(terminateGrace)) return;
            kill(task_.processIdentifier, SIGKILL);
            exited(killGrace);
        }
    }

private:
    static constexpr auto terminateGrace = std::chrono::milliseconds(500);
    // A killed process is gone at once unless the kernel holds it.
    static constexpr auto killGrace = std::chrono::seconds(2);
    static constexpr auto pollInterval = std::chrono::milliseconds(10);

    bool exited(std::chrono::milliseconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (task_.running) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(pollInterval);
        }
        return true;
    }

    NSTask* task_;
};

// Nil when a text is not valid UTF-8: such a command cannot be started.
NSArray<NSString*>* nsStrings(const std::vector<std::string>& texts) {
    NSMutableArray<NSString*>* strings = [NSMutableArray arrayWithCapacity:texts.size()];
    for (const std::string& text : texts) {
        NSString* string = nsString(text);
        if (!string) return nil;
        [strings addObject:string];
    }
    return strings;
}

NSTask* nullDeviceTask(NSString* executable, NSArray<NSString*>* arguments) {
    NSTask* task = [[NSTask alloc] init];
    task.executableURL = [NSURL fileURLWithPath:executable];
    task.arguments = arguments;
    task.standardInput = [NSFileHandle fileHandleWithNullDevice];
    task.standardOutput = [NSFileHandle fileHandleWithNullDevice];
    task.standardError = [NSFileHandle fileHandleWithNullDevice];
    return task;
}

}  // namespace

std::unique_ptr<ChildProcess> MacPlatform::launch(const std::string& executable,
                                                  const std::vector<std::string>& arguments) {
    std::unique_ptr<ChildProcess> child;
    std::optional<PlatformError> failure;
    // The error is read inside the pool and thrown outside it: unwinding
    // through the pool would skip draining it.
    @autoreleasepool {
        NSError* error = nil;
        NSString* path = nsString(executable);
        NSArray<NSString*>* texts = nsStrings(arguments);
        if (!path || !texts) {
            error = [NSError errorWithDomain:NSCocoaErrorDomain code:NSFileReadInapplicableStringEncodingError userInfo:nil];
        } else {
            NSTask* task = nullDeviceTask(path, texts);
            if ([task launchAndReturnError:&error]) child = std::make_unique<TaskProcess>(task);
        }
        if (!child) failure = platformError(error);
    }
    if (failure) throw *failure;
    return child;
}

}  // namespace quillgate::macos
