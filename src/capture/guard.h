#pragma once
// The conversation guard in front of every operation on the bound window:
// beyond proving the window is the bound one, it proves the conversation
// shown is still the one the host pinned with "bind-region".

#include "core/binding.h"
#include "core/context.h"
#include "windows/window.h"

namespace quillgate {

// Verifies the binding, and when it carries a guard, captures the window,
// compares the guarded region's hash and makes sure nothing covers the
// region; then verifies again and requires that the window did not move.
// Returns the window of the last verification, for the caller to target.
Window check(Context& context, const Binding& bound, bool focus);

}  // namespace quillgate
