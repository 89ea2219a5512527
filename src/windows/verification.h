#pragma once
// Proof that the bound window is still exactly the window the host bound.

#include <string>

#include "core/binding.h"
#include "platform/platform.h"
#include "windows/window.h"

namespace quillgate {

// Whether the console session is usable: on the console, logged in, not locked.
bool sessionUsable(Platform& platform);

// Refuses unless the process is trusted for accessibility (asking with the
// system prompt) and the console session is usable.
void permissions(Platform& platform);

// The listed window with that window number (positive 32-bit decimal text).
Window selected(Platform& platform, const std::string& hwnd);

// The accessibility window element of a listed window.
Element element(Platform& platform, const Window& window);

// Refuses unless the binding names the window's process instance: pid,
// process name and start time.
void requireSameProcess(const Binding& bound, const Window& window);

// Whether the binding names this title and this size (truncated toward zero).
bool sameTitle(const Binding& bound, const Window& window);
bool sameSize(const Binding& bound, const Window& window);

// Full re-verification of a binding: session and accessibility, window
// number, process instance, title, size, minimisation and, when asked, focus.
Window current(Platform& platform, const Binding& bound, bool focus);

// current(), refusing as well when the window's frame is no longer `before`'s
// (the frame an earlier verification saw); the window as it is now.
Window requireUnmoved(Platform& platform, const Binding& bound, const Rect& before, bool focus = false);

// What the window server alone can tell of current() with focus: the same
// window of the same process instance, title and size, on screen, its
// application holding the keyboard focus. It asks nothing of accessibility
// or the session, so it may run while the desktop is held, right before an
// event.
Window currentInFront(Platform& platform, const Binding& bound);

}  // namespace quillgate
