#pragma once
// The desktop's top-level application windows, read afresh on every call.

#include <optional>
#include <vector>

#include "platform/platform.h"
#include "windows/window.h"

namespace quillgate {

// Every ordinary application window with a title and a live owning process,
// minimised ones included, in the window server's front-to-back order. Empty
// when the window list cannot be read.
std::vector<Window> windows(Platform& platform);

// The first of windows() with that window number, looking up the running
// application only for entries with that number.
std::optional<Window> windowWithId(Platform& platform, uint32_t id);

// Bounds of the active displays in their listed order; empty on any error.
std::vector<Rect> displayFrames(Platform& platform);

// A window-list bounds dictionary as a rectangle: all four keys must be numbers.
std::optional<Rect> boundsRect(const Value* bounds);

// A window-list number as the integer widths the window server uses.
uint32_t windowNumber(double value);
int32_t processId(double value);
// Truncated toward zero; 0 when not finite or beyond the 64-bit range.
int64_t wholePart(double value);

// A window-list entry's layer as a whole number, 0 when it has none; its
// owner's name, "" when it has none.
int64_t layerOf(const Value& entry);
const std::string& ownerOf(const Value& entry);

// The window list for an option set, front to back, when it reads as an
// array of dictionaries; nothing when the call returns nothing or any entry
// is not a dictionary.
std::optional<Array> windowDictionaries(Platform& platform, WindowListOption option);

}  // namespace quillgate
