#pragma once
// The search for the message editor behind "composer-text": depth first,
// pruned to the search rectangle, ending at the first editor found.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillgate {

inline constexpr int composerMaxDepth = 14;
inline constexpr int64_t composerMaxVisited = 3000;

// Shared by every window searched for one request, so the visit budget
// covers them all.
struct ComposerSearch {
    Rect region;                       // search rectangle, global points
    std::optional<std::string> found;  // the editor's text, once found
    int64_t visited = 0;
};

void composerWalk(Platform& platform, const Element& element, int depth, ComposerSearch& search);

}  // namespace quillgate
