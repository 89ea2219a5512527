#pragma once
// The single-window screenshot of ScreenCaptureKit arrived with macOS 14,
// the oldest system the program runs on. An SDK older than that lacks the
// declarations; they are given here as macOS 14 declares them, and only
// when the SDK does not.

#import <ScreenCaptureKit/ScreenCaptureKit.h>

#if __MAC_OS_X_VERSION_MAX_ALLOWED < 140000

NS_ASSUME_NONNULL_BEGIN

API_AVAILABLE(macos(14.0))
@interface SCScreenshotManager : NSObject
+ (void)captureImageWithFilter:(SCContentFilter*)contentFilter
                 configuration:(SCStreamConfiguration*)config
             completionHandler:
                 (nullable void (^)(CGImageRef _Nullable sampleBuffer, NSError* _Nullable error))completionHandler;
@end

@interface SCStreamConfiguration (SingleWindowShadows)
@property(nonatomic, assign) BOOL ignoreShadowsSingleWindow API_AVAILABLE(macos(14.0));
@end

NS_ASSUME_NONNULL_END

#endif
