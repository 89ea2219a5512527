// The accessibility interface: trust, elements, attributes and actions.
#import <Foundation/Foundation.h>
#include <ApplicationServices/ApplicationServices.h>

#include "platform/cf_ref.h"
#include "backends/macos/ax_element.h"
#include "backends/macos/cf_value.h"
#include "backends/macos/mac_platform.h"
#include "backends/macos/platform_errors.h"

namespace quillgate::macos {

bool MacPlatform::accessibilityTrusted(bool prompt) {
    if (!prompt) return AXIsProcessTrusted();
    @autoreleasepool {
        NSDictionary* options = @{(__bridge NSString*)kAXTrustedCheckOptionPrompt : @YES};
        return AXIsProcessTrustedWithOptions((__bridge CFDictionaryRef)options);
    }
}

Element MacPlatform::applicationElement(int32_t pid) { return adoptElement(AXUIElementCreateApplication(pid)); }

Element MacPlatform::systemWideElement() { return adoptSystemWideElement(AXUIElementCreateSystemWide()); }

AxResult MacPlatform::copyAttribute(const Element& element, const std::string& attribute) {
    CfRef<CFStringRef> name = cfString(attribute);
    CfRef<CFTypeRef> value;
    const AXError status = name ? AXUIElementCopyAttributeValue(elementRef(element), name.get(), value.out())
                                : kAXErrorIllegalArgument;
    return axResult(status, value.get());
}

int32_t MacPlatform::setAttribute(const Element& element, const std::string& attribute, const Value& value) {
    CfRef<CFStringRef> name = cfString(attribute);
    CfRef<CFTypeRef> converted = cfFromValue(value);
    if (!name || !converted) return axStatus(kAXErrorIllegalArgument);
    return axStatus(underDefaultTimeout(element, [&](AXUIElementRef ref) {
        return AXUIElementSetAttributeValue(ref, name.get(), converted.get());
    }));
}

int32_t MacPlatform::performAction(const Element& element, const std::string& action) {
    CfRef<CFStringRef> name = cfString(action);
    if (!name) return axStatus(kAXErrorIllegalArgument);
    return axStatus(
        underDefaultTimeout(element, [&](AXUIElementRef ref) { return AXUIElementPerformAction(ref, name.get()); }));
}

AxResult MacPlatform::elementAtPosition(const Element& element, Point point) {
    CfRef<AXUIElementRef> hit;
    const AXError status = AXUIElementCopyElementAtPosition(elementRef(element), static_cast<float>(point.x),
                                                            static_cast<float>(point.y), hit.out());
    return axResult(status, hit.get());
}

std::optional<int32_t> MacPlatform::pidOfElement(const Element& element) {
    pid_t pid = 0;
    if (AXUIElementGetPid(elementRef(element), &pid) != kAXErrorSuccess) return std::nullopt;
    return pid;
}

bool MacPlatform::elementsEqual(const Element& a, const Element& b) {
    AXUIElementRef first = elementRef(a);
    AXUIElementRef second = elementRef(b);
    return first && second && CFEqual(first, second);
}

}  // namespace quillgate::macos
