#pragma once
// The text-dump walk behind "ax-text": a bounded, depth-first inventory of an
// accessibility tree, with frames as fractions of the bound window. The walk
// never fails; what it cannot read counts as absent, and its limits bound the
// interprocess reads on very large trees.

#include <cstdint>
#include <map>
#include <string>

#include "platform/platform.h"
#include "windows/window.h"

namespace quillgate {

inline constexpr int64_t axTextMaxVisited = 6000;
inline constexpr int axTextMaxDepth = 40;
inline constexpr int axTextRecordAllFromDepth = 9;  // deep elements are recorded even without text
inline constexpr size_t axTextMaxItems = 1200;

// Shared by every window walked for one request.
struct TextWalk {
    int64_t visited = 0;                    // elements entered
    std::map<std::string, int64_t> roles;   // "AXRole" to count; "" for none
    Array items;                            // recorded elements, in visiting order
};

// Walks `element` at `depth` and its descendants into `walk`.
void axTextWalk(Platform& platform, const Element& element, int depth, TextWalk& walk, const Window& window);

}  // namespace quillgate
