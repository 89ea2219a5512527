#pragma once
// Reads of one AT-SPI accessible that several attributes and actions share.
// Each is one libatspi call (cached by libatspi where the toolkit allows) and
// reports a failed call as absent.

#include <atspi/atspi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/value.h"
#include "backends/x11/ax_roles.h"

namespace quillgate::x11 {

// A reference the caller owns, released with it.
struct Unref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref>;

std::optional<AtspiRole> atspiRole(AtspiAccessible* accessible);
std::optional<AxRole> axRole(AtspiAccessible* accessible);
std::optional<std::string> name(AtspiAccessible* accessible);
bool hasState(AtspiAccessible* accessible, AtspiStateType state);
// Screen extents; absent when unknown or off screen.
std::optional<Rect> extents(AtspiAccessible* accessible);
// Absent when the application did not answer in time (or at all): a list
// with children missing would be a wrong answer, not a short one.
using Accessibles = std::vector<Owned<AtspiAccessible>>;
std::optional<Accessibles> children(AtspiAccessible* accessible);

// An application's top-level windows, and the active one.
std::optional<Accessibles> windows(AtspiAccessible* application);
Owned<AtspiAccessible> activeWindow(AtspiAccessible* application);
// The element with the keyboard focus inside an application's active window.
Owned<AtspiAccessible> focusedElement(AtspiAccessible* application);
// The menu bar of an application's active window.
Owned<AtspiAccessible> menuBar(AtspiAccessible* application);

}  // namespace quillgate::x11
