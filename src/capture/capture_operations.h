#pragma once
// The operations through which the host sees the bound window and pins the
// conversation it shows. Each runs after the guard has verified the window.

#include "core/operation.h"

namespace quillgate {

// Whether the binding, and its guard, still hold: the gate did all the work.
Object checkOperation(const GatedCall& call);

// The window's picture as PNG in Base64 with its size ("capture" and
// "capture-input" alike).
Object captureOperation(const GatedCall& call);

// Turns a region of a picture the host holds into the guard later requests
// carry, once the live window shows the same pixels there.
Object bindRegionOperation(const GatedCall& call);

}  // namespace quillgate
