#pragma once
// The window server of the scene: the window list, the displays and the
// cursor level, answered from "windows", "displays" and "cursorLevel".

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/value.h"

namespace quillgate::sim {

// The window list: absent when "windows" is null; "windows" unchanged when it
// is not an array of dictionaries (so the program meets such lists with
// either option); else every dictionary or, on-screen only, those whose
// kCGWindowIsOnscreen is true, in the same order.
std::optional<Value> windowList(const Value& scene, bool onScreenOnly);

// The on-screen dictionaries of "windows", front to back, whatever else the
// array holds: what the screenshot service, the tool and the hit test see.
std::vector<const Object*> onScreenWindows(const Value& scene);

// The on-screen window with this number, or null.
const Object* onScreenWindow(const Value& scene, uint32_t number);

// A kCGWindowBounds dictionary as a rectangle, when all four keys are numbers.
std::optional<Rect> boundsRect(const Value* bounds);

// Display bounds, absent when "displays" is null or not an array.
std::optional<std::vector<Rect>> displays(const Value& scene);

int64_t cursorLevel(const Value& scene);

}  // namespace quillgate::sim
