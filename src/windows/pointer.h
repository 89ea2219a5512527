#pragma once
// Where a pointer action would land, and how long the user has left the
// keyboard and mouse alone.

#include "platform/platform.h"
#include "windows/window.h"

namespace quillgate {

// The screen point at fractions x and y (0 to 1, request values read as
// numbers) of the window's width and height. Refuses points on the title
// bar's close, minimise and zoom buttons, and points another window covers
// once a notification banner or a transient window of the bound application
// has had a bounded time to leave. Blocks for up to about 9 seconds; posts
// nothing but one pointer move that dismisses a transient window.
Point normalizedPoint(Platform& platform, const Window& window, const Value* x, const Value* y, bool ignoreOwnPopup);

// Milliseconds since the user's last key, pointer move, button press, scroll
// or drag.
double idle(Platform& platform);

}  // namespace quillgate
