#pragma once
// The accessibility side of listed windows and popups. The window server and
// the accessibility interface describe the same window with frames that can
// disagree by a point or two, so an accessibility window is matched to a
// listed frame by its top-left corner alone, within a small tolerance.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillgate {

// An attribute that reads as an array whose every member is an element;
// nothing on a failed read or any other value.
std::optional<std::vector<Element>> axElements(Platform& platform, const Element& element,
                                               const std::string& attribute);

// "AXChildren"; none when it does not read as an array of elements.
std::vector<Element> axChildren(Platform& platform, const Element& element);

// "AXWindows" of the application element of a process.
std::optional<std::vector<Element>> axWindows(Platform& platform, int32_t pid);

// Whether the top-left corners lie strictly within 3 points of each other on
// x and on y separately; sizes are not compared.
bool sameOrigin(const Rect& a, const Rect& b);

// The windows, in order, whose accessibility frame has the origin of `frame`.
std::vector<Element> windowsAt(Platform& platform, const std::vector<Element>& windows, const Rect& frame);

// Those of the process's "AXWindows"; none when that list cannot be read.
std::vector<Element> axWindowsAt(Platform& platform, int32_t pid, const Rect& frame);

}  // namespace quillgate
