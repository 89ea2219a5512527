#pragma once
// "self-test": lets the host confirm the guard logic without a bound window
// and without producing input.

#include "service/operation.h"

namespace quillgate {

// Answers "kind" "synthetic-helper-contract" and "inputExecuted" false when
// Main::translateSelfTest() passes; refuses with "self-test failed" otherwise.
Object selfTestOperation(const Call& call);

}  // namespace quillgate
