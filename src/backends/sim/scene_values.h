#pragma once
// Typed reads of scene values. A scene is hand-written and patched while it
// runs, so a key that is missing or holds a value of another type counts as
// absent and its default applies; nothing here throws.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::sim {

// A finite number.
std::optional<double> number(const Value* value);
// A number with no fraction that fits 64 bits.
std::optional<int64_t> integer(const Value* value);
// An integer that fits a process id.
std::optional<int32_t> pid(const Value* value);
// An integer that fits a window number.
std::optional<uint32_t> windowNumber(const Value* value);
std::optional<bool> boolean(const Value* value);
const std::string* text(const Value* value);

// [x, y, width, height], all numbers.
std::optional<Rect> rectFromArray(const Value* value);
// [a, b], both numbers.
std::optional<std::pair<double, double>> pairFromArray(const Value* value);

// Half-open containment, as the window server tests a point against a frame.
bool contains(const Rect& rect, Point point);

// JSON equality: same type and same contents, numbers compared as numbers.
bool sameJson(const Value& a, const Value& b);

// Member of an object value, or null.
inline const Value* member(const Value& value, std::string_view key) { return value.find(key); }
inline const Value* member(const Object& object, std::string_view key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &it->second;
}

// The object a key holds, inserting an empty one (replacing any non-object).
Object& objectAt(Object& object, const std::string& key);

}  // namespace quillgate::sim
