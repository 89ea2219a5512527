#pragma once
// Finding a smaller window that the chat application (or the system) put over
// or beside the bound window, from the on-screen window list alone. Each query
// reads the list afresh; a caller wanting a second opinion simply asks again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "windows/window.h"

namespace quillgate {

// A popup or dialog window. It may belong to another process: callers that act
// only on the bound application compare `pid` with the bound window's.
struct PopupInfo {
    uint32_t id = 0;  // window number
    int32_t pid = 0;  // owning process
    Rect rect;        // frame in global points
};

// Another on-screen window whose frame intersects the bound window.
struct OverlapWindow {
    std::string owner;  // "" when the list gives none
    int32_t pid = 0;
    int64_t layer = 0;  // 0 when the list gives none
    Rect rect;
    uint32_t id = 0;
    double alpha = 1;   // 1 when the list gives none
};

// Front to back; empty when the window list cannot be read. Of the bound
// window only its number and frame are read.
std::vector<OverlapWindow> overlapWindows(Platform& platform, const Window& window);

// The front-most overlapping window that looks like a popup over the bound
// window by size, layer, opacity and owner.
std::optional<PopupInfo> popupWindow(Platform& platform, const Window& window);

// The front-most dialog-sized window of the bound window's own process other
// than the bound window itself, wherever it is placed.
std::optional<PopupInfo> ownDialogWindow(Platform& platform, const Window& window);

}  // namespace quillgate
