#pragma once
// An application's accessibility tree as the scene's "ax" element: every
// attribute the program reads, children and windows written in place, every
// other element value written as a reference. The walk is bounded in depth,
// element count and time; what it leaves out is listed, not guessed.

#include <cstdint>

#include "platform/platform.h"

namespace quillgate::recorder {

struct TreeLimits {
    int depth = 32;       // levels below the application element
    int elements = 4000;  // elements recorded, the application's included
    double seconds = 20;  // on the platform's monotonic clock
};

struct RecordedTree {
    Value ax;    // the "ax" element of the application's scene entry
    Array cuts;  // {"element", "reason", "attribute"?, "dropped"?}: what the bounds left out
    int elements = 0;
};

// Reads the tree of one application. `deadline` is on the platform's
// monotonic clock and may be shared by several trees. Secure text fields'
// values are never read.
RecordedTree recordTree(Platform& platform, int32_t pid, const TreeLimits& limits, double deadline);

}  // namespace quillgate::recorder
