#pragma once
// Accessibility statuses and NSErrors turned into the port's results. This is
// the only place that happens, so every call reports them alike.

#import <Foundation/Foundation.h>
#include <ApplicationServices/ApplicationServices.h>

#include <cstdint>

#include "platform/platform.h"

namespace quillgate::macos {

// The status as the port numbers it (the accessibility codes are the port's).
int32_t axStatus(AXError status);

// The result of a read: the status and, only on success, the value, which
// the caller's holder keeps owning. A value that came with a failure status
// is dropped. A read that timed out is kAXErrorCannotComplete, a failure
// like any other.
AxResult axResult(AXError status, CFTypeRef value);

// The error's domain and code; an absent error reads as an empty domain and
// code 0. The screenshot service's domain reads as screenshotServiceDomain.
PlatformError platformError(NSError* error);

}  // namespace quillgate::macos
