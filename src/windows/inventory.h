#pragma once
// The desktop's top-level application windows, read afresh on every call.

#include <optional>
#include <vector>

#include "platform/platform.h"
#include "windows/window.h"
#include "windows/window_entry.h"

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

}  // namespace quillgate
