#pragma once
// "execute": the one operation through which the host produces input in the
// bound chat window.

#include "core/operation.h"

namespace quillgate {

// Posts one allowed key chord, pointer move, click or scroll after the guard
// gate has verified the window with focus; every other kind is refused.
Object executeOperation(const GatedCall& call);

}  // namespace quillgate
