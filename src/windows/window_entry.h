#pragma once
// One window-list entry, read once. The window server's dictionaries are
// loosely typed: any key may be missing or hold another type, so each field
// says what it accepts and what it is when the entry gives nothing usable.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillgate {

struct WindowEntry {
    std::optional<uint32_t> number;  // "a number" (a boolean reads as 1 or 0), truncated toward zero
    std::optional<int32_t> pid;      // owning process, read like the number
    std::optional<double> layer;     // kept as listed: only layer 0 exactly is an ordinary window
    std::string owner;               // "" when missing or not a string
    std::string name;                // "" when missing or not a string
    std::optional<Rect> bounds;      // only when all four keys are numbers
    std::optional<double> alpha;     // "a number"
    bool onScreen = false;           // only the boolean true

    // The layer as a whole number, 0 when the entry has none.
    int64_t wholeLayer() const;
};

WindowEntry windowEntry(const Value& entry);

// The window list for an option set, front to back, when it reads as an
// array of dictionaries; nothing when the call returns nothing or any entry
// is not a dictionary.
std::optional<std::vector<WindowEntry>> windowEntries(Platform& platform, WindowListOption option);

// A window-list bounds dictionary as a rectangle: all four keys must be numbers.
std::optional<Rect> boundsRect(const Value* bounds);

// Truncated toward zero; 0 when not finite or beyond the 64-bit range.
int64_t wholePart(double value);

}  // namespace quillgate
