#pragma once
// Where a pointer target would land, without moving the pointer.

#include "core/operation.h"

namespace quillgate {

// The pointer's location and the screen point of the request's "x" and "y"
// fractions of the verified window, both truncated to whole points.
Object pointerOperation(const GatedCall& call);

}  // namespace quillgate
