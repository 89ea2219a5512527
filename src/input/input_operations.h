#pragma once
// Operations on the user's keyboard and pointer state that need no binding.

#include "core/operation.h"

namespace quillgate {

// How long the user has been idle, which keys are down, which app is in front.
Object inputIdleOperation(const Call& call);

// Posts a key-up for each listed key that is held now, modifiers excepted.
Object releaseKeysOperation(const Call& call);

// Whether a key code is a modifier key, which "release-keys" leaves alone.
bool isModifierCode(double code);

}  // namespace quillgate
