#pragma once
// The accessibility hit test: which process owns a screen point ("hitTest",
// else the window list) and which of its elements is there.

#include <cstdint>
#include <optional>

#include "backends/sim/elements.h"

namespace quillgate::sim {

// The owner of the point: the first "hitTest" rectangle containing it decides
// (its pid, or no owner for null); else the owner of the frontmost on-screen
// window with alpha above 0 whose frame contains it; else no owner.
std::optional<int32_t> hitPid(const Value& scene, Point point);

// The element of that process at the point: the deepest element of its tree
// whose frame contains the point, descending at each level into the first
// element inside (in forEachInside order) that contains it or, having no frame,
// holds one that does; the application element when none does.
ElementPlace elementAt(const Value& scene, int32_t pid, Point point);

}  // namespace quillgate::sim
