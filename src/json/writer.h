#pragma once
// Value to JSON text with the protocol's writing rules: compact, object keys
// sorted, non-ASCII written as raw UTF-8, every solidus escaped, integral
// numbers without a fraction, other numbers in the shortest text that reads
// back the same. Written by hand because no library writes exactly this.

#include <optional>
#include <string>

#include "platform/value.h"

namespace quillgate::json {

// The text of `value`, or nothing when it cannot be written: a number that
// is not finite, a string that is not valid UTF-8, or a platform value
// (element, point, size) that JSON has no form for.
std::optional<std::string> serialise(const Value& value);

// Shortest decimal text of a number that reads back to the same double, in
// plain notation; integral values get no fraction unless `integralFraction`
// asks for a trailing ".0". Requires a finite value.
std::string decimal(double number, bool integralFraction = false);

}  // namespace quillgate::json
