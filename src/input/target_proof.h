#pragma once
// The last proof before a pointer event is posted: the bound window is
// verified again, focused and unmoved, and nothing covers the target point.
// It runs right before each press, scroll or move, so that a window that
// appears during a request finds no proof to slip in behind.

#include "core/operation.h"

namespace quillgate {

// Refuses ("selected window moved", a lost focus, the covered-target
// refusal with its occluder) unless the point may receive input now.
void proveTarget(const GatedCall& call, Point point, bool popupOk);

}  // namespace quillgate
