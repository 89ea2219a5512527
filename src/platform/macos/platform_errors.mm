#include "platform/macos/platform_errors.h"

#include <string>

#include "platform/macos/cf_value.h"

namespace quillgate::macos {

int32_t axStatus(AXError status) { return static_cast<int32_t>(status); }

AxResult axResult(AXError status, CFTypeRef value) {
    AxResult result;
    result.status = axStatus(status);
    if (result.ok()) result.value = valueFromCf(value);
    return result;
}

PlatformError platformError(NSError* error) {
    if (!error) return PlatformError("", 0);
    return PlatformError(utf8((__bridge CFStringRef)error.domain), static_cast<int64_t>(error.code));
}

}  // namespace quillgate::macos
