#pragma once
// What an operation receives, and the shape of every operation.

#include "platform/platform.h"
#include "service/context.h"
#include "windows/window.h"

namespace quillgate {

struct Call {
    Context& context;
    const Object& request;
    const Object* bound;   // the binding, for operations behind a gate
    const Window* window;  // the window the gate verified, when it verifies one

    Platform& platform() const { return *context.platform; }
};

// Returns the response's keys besides "ok"; refuses by throwing GuardFailure.
using Handler = Object (*)(const Call&);

}  // namespace quillgate
