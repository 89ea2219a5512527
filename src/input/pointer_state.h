#pragma once
// Whether the pointer is free for posted pointer input: no mouse button held
// down, by the user or another program, and no other program holding the
// pointer grabbed. During someone else's drag a posted click goes to whoever
// holds the pointer, and a button posted across theirs can be left down.

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace quillgate {

// The mouse buttons held down now, by number: 0 left, 1 right, 2 middle,
// then the further buttons.
std::vector<int32_t> heldButtons(Platform& platform);

// No button held and no grab.
bool pointerFree(Platform& platform);

// Refuses while a button is held (the held buttons named in the message) or
// the pointer is grabbed; posts nothing.
void requirePointerFree(Platform& platform);

}  // namespace quillgate
