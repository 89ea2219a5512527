#pragma once
// Whether an input method is composing text. While it composes, the keys go
// to it rather than to the application: Return commits the raw composition
// into the draft instead of sending. An input method shows its candidate list
// or its composition window only while it composes, and only for the
// application that has the keyboard focus.

#include "platform/platform.h"

namespace quillgate {

// Refuses while a window of an input method is on screen, or when the window
// list cannot be read to tell; posts nothing. Callers have proven the bound
// window has the focus, so a composition on screen is one in it.
void requireNoComposition(Platform& platform);

}  // namespace quillgate
