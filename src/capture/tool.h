#pragma once
// The fallback: the system screenshot tool, run as a child process that
// writes the window's picture to a temporary file.

#include "core/context.h"
#include "platform/image.h"
#include "windows/window.h"

namespace quillgate {

// The tool's picture of the window, scaled to the window's size in points.
// Blocks for at most about 5 seconds.
Image captureByTool(Platform& platform, const Window& window);

// The same, except that a failure while a screenshot is still outstanding
// is taken for the permission prompt: the tool is blocked until that
// screenshot returns, and the answer is the waiting message.
Image captureByToolWatched(Context& context, const Window& window);

}  // namespace quillgate
