#pragma once
// Bringing the bound window to the front, never while the user is active.

#include "core/operation.h"

namespace quillgate {

// Verifies the binding itself (the gate runs nothing), then activates the
// application, raises the window and answers the re-verified identity.
Object activateOperation(const BoundCall& call);

}  // namespace quillgate
