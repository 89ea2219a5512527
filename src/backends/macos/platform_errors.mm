#include "backends/macos/platform_errors.h"

#import <ScreenCaptureKit/ScreenCaptureKit.h>

#include <string>

#include "backends/macos/cf_value.h"

namespace quillgate::macos {

namespace {

// The port names the screenshot service's domain after its constant, which
// is how the core recognises a declined capture; the constant's value is a
// longer reverse-DNS text. Other domains keep their text.
std::string domainName(NSString* domain) {
    if ([domain isEqualToString:SCStreamErrorDomain]) return screenshotServiceDomain;
    return utf8(domain);
}

}  // namespace

int32_t axStatus(AXError status) { return static_cast<int32_t>(status); }

AxResult axResult(AXError status, CFTypeRef value) {
    AxResult result;
    result.status = axStatus(status);
    if (result.ok()) result.value = valueFromCf(value);
    return result;
}

PlatformError platformError(NSError* error) {
    if (!error) return PlatformError("", 0);
    return PlatformError(domainName(error.domain), static_cast<int64_t>(error.code));
}

}  // namespace quillgate::macos
