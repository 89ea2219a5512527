#pragma once
// The only ways request values are read. The host's JSON is loosely typed, so
// every read says what it accepts; nothing is parsed from strings and nothing
// is formatted into them.

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace quillgate {

// A JSON number, or a boolean as 1 or 0; anything else (a missing key, null,
// a string, an array, an object) gives nothing.
std::optional<double> number(const Value* value);

// A JSON string; anything else gives "". The string is the value's own (or a
// shared empty one): a reference-picture string may be megabytes long.
const std::string& text(const Value* value);

// The member under `key` when the request holds an object there.
const Object* objectAt(const Object& request, std::string_view key);

// A list of strings, used only when every element is a string; otherwise the
// default list.
std::vector<std::string> stringList(const Object& request, std::string_view key,
                                    std::vector<std::string> fallback = {});

// The same list as a set.
std::set<std::string> stringSet(const Object& request, std::string_view key, std::vector<std::string> fallback = {});

// A list of numbers: an array read element by element with `number`, skipping
// elements that give none; a missing key or any other value gives none.
std::vector<double> numberList(const Object& request, std::string_view key);

// A flag: true for JSON true or the number 1, false for everything else.
bool flag(const Object& request, std::string_view key);

// The member under `key`, or null when absent: the form `number` and `text` take.
inline const Value* member(const Object& object, std::string_view key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &it->second;
}

}  // namespace quillgate
