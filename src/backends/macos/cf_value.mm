#include "backends/macos/cf_value.h"

#import <Foundation/Foundation.h>
#include <ApplicationServices/ApplicationServices.h>

#include <optional>
#include <vector>

#include "backends/macos/ax_element.h"

namespace quillgate::macos {

namespace {

Array arrayFromCf(CFArrayRef array) {
    const CFIndex count = CFArrayGetCount(array);
    Array items;
    items.reserve(static_cast<size_t>(count));
    for (CFIndex i = 0; i < count; ++i) items.push_back(valueFromCf(CFArrayGetValueAtIndex(array, i)));
    return items;
}

// Null when a key is not a string: the core only ever asks for string-keyed
// dictionaries.
std::optional<Object> objectFromCf(CFDictionaryRef dictionary) {
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void*> keys(static_cast<size_t>(count));
    std::vector<const void*> values(static_cast<size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    Object object;
    for (CFIndex i = 0; i < count; ++i) {
        const auto key = static_cast<CFTypeRef>(keys[static_cast<size_t>(i)]);
        if (CFGetTypeID(key) != CFStringGetTypeID()) return std::nullopt;
        object.emplace(utf8(static_cast<CFStringRef>(key)), valueFromCf(values[static_cast<size_t>(i)]));
    }
    return object;
}

// Points and sizes only; other accessibility values have no Value type.
Value valueFromAxValue(AXValueRef value) {
    CGPoint point;
    if (AXValueGetValue(value, kAXValueTypeCGPoint, &point)) return Point{point.x, point.y};
    CGSize size;
    if (AXValueGetValue(value, kAXValueTypeCGSize, &size)) return Size{size.width, size.height};
    return nullptr;
}

CfRef<CFTypeRef> cfArray(const Array& items) {
    CfRef<CFMutableArrayRef> array(
        CFArrayCreateMutable(kCFAllocatorDefault, static_cast<CFIndex>(items.size()), &kCFTypeArrayCallBacks));
    for (const Value& item : items) {
        CfRef<CFTypeRef> converted = cfFromValue(item);
        if (!converted) return {};
        CFArrayAppendValue(array.get(), converted.get());
    }
    return CfRef<CFTypeRef>(array.release());
}

CfRef<CFTypeRef> cfDictionary(const Object& object) {
    CfRef<CFMutableDictionaryRef> dictionary(
        CFDictionaryCreateMutable(kCFAllocatorDefault, static_cast<CFIndex>(object.size()),
                                  &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    for (const auto& [key, item] : object) {
        CfRef<CFStringRef> name = cfString(key);
        CfRef<CFTypeRef> converted = cfFromValue(item);
        if (!name || !converted) return {};
        CFDictionarySetValue(dictionary.get(), name.get(), converted.get());
    }
    return CfRef<CFTypeRef>(dictionary.release());
}

CfRef<CFTypeRef> retained(CFTypeRef value) { return CfRef<CFTypeRef>(value ? CFRetain(value) : nullptr); }

}  // namespace

Value valueFromCf(CFTypeRef value) {
    if (!value) return nullptr;
    const CFTypeID type = CFGetTypeID(value);
    // Booleans first: they are not numbers to the core, though NSNumber
    // would answer for both.
    if (type == CFBooleanGetTypeID()) return static_cast<bool>(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        double number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberDoubleType, &number);
        return number;
    }
    if (type == CFStringGetTypeID()) return utf8(static_cast<CFStringRef>(value));
    if (type == CFArrayGetTypeID()) return arrayFromCf(static_cast<CFArrayRef>(value));
    if (type == CFDictionaryGetTypeID()) {
        auto object = objectFromCf(static_cast<CFDictionaryRef>(value));
        return object ? Value(std::move(*object)) : Value(nullptr);
    }
    if (type == AXUIElementGetTypeID()) {
        return adoptElement(static_cast<AXUIElementRef>(CFRetain(value)));
    }
    if (type == AXValueGetTypeID()) return valueFromAxValue(static_cast<AXValueRef>(value));
    return nullptr;
}

CfRef<CFTypeRef> cfFromValue(const Value& value) {
    if (value.isNull()) return retained(kCFNull);
    if (const bool* flag = value.asBool()) return retained(*flag ? kCFBooleanTrue : kCFBooleanFalse);
    if (const double* number = value.asNumber()) {
        return CfRef<CFTypeRef>(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, number));
    }
    if (const std::string* text = value.asString()) return CfRef<CFTypeRef>(cfString(*text).release());
    if (const Array* items = value.asArray()) return cfArray(*items);
    if (const Object* object = value.asObject()) return cfDictionary(*object);
    if (const Element* element = value.asElement()) return retained(elementRef(*element));
    if (const Point* point = value.asPoint()) {
        const CGPoint cg{point->x, point->y};
        return CfRef<CFTypeRef>(AXValueCreate(kAXValueTypeCGPoint, &cg));
    }
    if (const Size* size = value.asSize()) {
        const CGSize cg{size->width, size->height};
        return CfRef<CFTypeRef>(AXValueCreate(kAXValueTypeCGSize, &cg));
    }
    return {};
}

std::string utf8(CFStringRef text) {
    const CFRange all = CFRangeMake(0, CFStringGetLength(text));
    CFIndex bytes = 0;
    CFStringGetBytes(text, all, kCFStringEncodingUTF8, '?', false, nullptr, 0, &bytes);
    std::string result(static_cast<size_t>(bytes), '\0');
    CFStringGetBytes(text, all, kCFStringEncodingUTF8, '?', false, reinterpret_cast<UInt8*>(result.data()), bytes,
                     nullptr);
    return result;
}

std::string utf8(NSString* text) { return utf8((__bridge CFStringRef)text); }

CfRef<CFStringRef> cfString(std::string_view text) {
    return CfRef<CFStringRef>(CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                                                      static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8,
                                                      false));
}

NSString* nsString(std::string_view text) { return (__bridge_transfer NSString*)cfString(text).release(); }

}  // namespace quillgate::macos
