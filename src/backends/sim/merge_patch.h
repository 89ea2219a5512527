#pragma once
// JSON merge patch (RFC 7386): how timeline entries and reactions change the
// scene.

#include "platform/value.h"

namespace quillgate::sim {

// Applies `patch` to `target`: objects merge key by key, a null member deletes
// that key, and every other value (arrays included) replaces the target.
void mergePatch(Value& target, const Value& patch);

}  // namespace quillgate::sim
