// ScreenCaptureKit: the windows it can capture and one single-window
// screenshot. Both wait for the service as long as it takes; the capture
// pipeline runs them on a thread of its own and races them against a timer.
#import <ScreenCaptureKit/ScreenCaptureKit.h>

#include <algorithm>
#include <optional>

#include "image/core_graphics.h"
#include "platform/cf_ref.h"
#include "backends/macos/mac_platform.h"
#include "backends/macos/platform_errors.h"
#include "backends/macos/sck_macos14.h"

namespace quillgate::macos {

namespace {

struct Listing {
    SCShareableContent* content = nil;
    NSError* error = nil;
};

// Desktop windows excluded, on-screen windows only.
Listing listShareableContent() {
    __block Listing listing;
    dispatch_semaphore_t answered = dispatch_semaphore_create(0);
    [SCShareableContent getShareableContentExcludingDesktopWindows:YES
                                               onScreenWindowsOnly:YES
                                                 completionHandler:^(SCShareableContent* content, NSError* error) {
                                                   listing.content = content;
                                                   listing.error = error;
                                                   dispatch_semaphore_signal(answered);
                                                 }];
    dispatch_semaphore_wait(answered, DISPATCH_TIME_FOREVER);
    return listing;
}

SCWindow* windowWithID(SCShareableContent* content, uint32_t windowID) {
    for (SCWindow* window in content.windows) {
        if (window.windowID == windowID) return window;
    }
    return nil;
}

struct Shot {
    CfRef<CGImageRef> image;
    NSError* error = nil;
};

// Whether a screenshot leaves the window's shadow out (the bound window) or
// keeps the service's default (popups).
enum class Shadow { ignored, serviceDefault };

// Exactly the configuration the capture contract asks for: the requested
// pixel size, no cursor, and the shadow as asked; pixel format, colour space
// and scaling stay at the service's defaults.
Shot captureWindow(SCWindow* window, int width, int height, Shadow shadow) {
    SCStreamConfiguration* configuration = [[SCStreamConfiguration alloc] init];
    configuration.width = static_cast<size_t>(std::max(width, 0));
    configuration.height = static_cast<size_t>(std::max(height, 0));
    configuration.showsCursor = NO;
    if (shadow == Shadow::ignored) configuration.ignoreShadowsSingleWindow = YES;
    // The filter asks Core Graphics for the displays the window is on; its
    // display side was set up when the platform was made (platform_start.mm).
    SCContentFilter* filter = [[SCContentFilter alloc] initWithDesktopIndependentWindow:window];

    __block CGImageRef captured = nullptr;
    __block NSError* failure = nil;
    dispatch_semaphore_t answered = dispatch_semaphore_create(0);
    [SCScreenshotManager captureImageWithFilter:filter
                                  configuration:configuration
                              completionHandler:^(CGImageRef image, NSError* error) {
                                // The image belongs to the service once the handler returns.
                                captured = image ? CGImageRetain(image) : nullptr;
                                failure = error;
                                dispatch_semaphore_signal(answered);
                              }];
    dispatch_semaphore_wait(answered, DISPATCH_TIME_FOREVER);
    return Shot{CfRef<CGImageRef>(captured), failure};
}

// The window listed afresh, then its screenshot. Runs on a capture thread,
// which has no pool of its own; errors leave the pool before they are thrown.
Image screenshotOf(uint32_t windowID, int width, int height, Shadow shadow) {
    Image picture;
    std::optional<PlatformError> failure;
    @autoreleasepool {
        Shot shot;
        const Listing listing = listShareableContent();
        SCWindow* window = listing.content ? windowWithID(listing.content, windowID) : nil;
        if (window) {
            shot = captureWindow(window, width, height, shadow);
        } else if (listing.error) {
            shot.error = listing.error;
        } else {
            // Gone since the caller listed it.
            shot.error = [NSError errorWithDomain:SCStreamErrorDomain code:SCStreamErrorNoCaptureSource userInfo:nil];
        }
        if (shot.error) {
            failure = platformError(shot.error);
        } else {
            // No image and no error: an empty picture, which the caller refuses.
            picture = image::rgbaImage(shot.image.get());
        }
    }
    if (failure) throw *failure;
    return picture;
}

}  // namespace

std::vector<ShareableWindow> MacPlatform::shareableWindows() {
    std::vector<ShareableWindow> windows;
    std::optional<PlatformError> failure;
    // Errors leave the pool before they are thrown: unwinding through it
    // would skip draining it.
    @autoreleasepool {
        const Listing listing = listShareableContent();
        if (!listing.content) {
            failure = platformError(listing.error);
        } else {
            for (SCWindow* window in listing.content.windows) {
                ShareableWindow shareable{window.windowID, std::nullopt};
                if (SCRunningApplication* owner = window.owningApplication) shareable.pid = owner.processID;
                windows.push_back(shareable);
            }
        }
    }
    if (failure) throw *failure;
    return windows;
}

Image MacPlatform::screenshot(uint32_t windowID, int width, int height) {
    return screenshotOf(windowID, width, height, Shadow::ignored);
}

Image MacPlatform::popupScreenshot(uint32_t windowID, int width, int height) {
    return screenshotOf(windowID, width, height, Shadow::serviceDefault);
}

}  // namespace quillgate::macos
