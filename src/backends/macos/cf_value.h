#pragma once
// Core Foundation values as the port's Value and back. Only the types the
// core tests for have a Value of their own: numbers, booleans, strings,
// arrays, dictionaries with string keys, accessibility elements, points and
// sizes. Everything else (dates, data, URLs, attributed strings, rectangles
// and ranges, dictionaries with a key that is not a string) becomes null: the
// core's type tests reject null exactly as they reject a missing value, so
// such a value behaves as it would on the simulated desktop.

#include <CoreFoundation/CoreFoundation.h>

@class NSString;

#include <string>
#include <string_view>

#include "platform/cf_ref.h"
#include "platform/value.h"

namespace quillgate::macos {

// The value behind a reference the caller keeps owning; null for null.
Value valueFromCf(CFTypeRef value);

// A new Core Foundation value for a Value; empty when a string in it is not
// valid UTF-8.
CfRef<CFTypeRef> cfFromValue(const Value& value);

// UTF-8 text of a string; characters UTF-8 cannot carry (an unpaired
// surrogate) become "?".
std::string utf8(CFStringRef text);
std::string utf8(NSString* text);

// A new string from UTF-8 text; empty when the text is not valid UTF-8.
CfRef<CFStringRef> cfString(std::string_view text);

// The same string for Objective-C, owned by ARC; nil when the text is not
// valid UTF-8.
NSString* nsString(std::string_view text);

}  // namespace quillgate::macos
