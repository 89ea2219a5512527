#pragma once
// Small accessibility and rectangle helpers shared by the whole program.

#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillgate {

// An attribute's value, or nothing on any non-success status.
std::optional<Value> ax(Platform& platform, const Element& element, const std::string& attribute);

// The attribute as a string, or "" when unreadable or not a string.
std::string axString(Platform& platform, const Element& element, const std::string& attribute);

// The attribute when it reads as a string, empty ones included.
std::optional<std::string> axText(Platform& platform, const Element& element, const std::string& attribute);

// The attribute as an element, when it reads as one.
std::optional<Element> axElement(Platform& platform, const Element& element, const std::string& attribute);

// What an action's status says of the action. Cannot-complete means the
// application did not answer in time, typically because its handler runs a
// modal loop (a confirmation dialog): the action was delivered and may well
// have taken effect, so it must not be repeated by another route.
enum class ActionOutcome { done, unconfirmed, failed };
ActionOutcome actionOutcome(int32_t status);

// "AXPosition" and "AXSize" as a frame in global points; nothing unless both
// read as a point and a size.
std::optional<Rect> axRect(Platform& platform, const Element& element);

// Two frames are the same frame when x, y, width and height each differ by
// strictly less than one point.
bool near(const Rect& a, const Rect& b);

// Refuses with "selected window moved" unless the two frames are near.
void requireStableRect(const Rect& a, const Rect& b);

}  // namespace quillgate
