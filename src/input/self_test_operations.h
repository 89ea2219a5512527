#pragma once
// "self-test": lets the host confirm the guard logic without a bound window
// and without producing input.

#include "core/operation.h"

namespace quillgate {

// Whether the guard logic gives its expected answers on fixed in-memory
// fixtures (region hash, PNG, refused regions and chord, region
// visibility, frame tolerance). Touches no window and posts nothing; the
// platform is needed only for the chord that must be refused.
bool translateSelfTest(Platform& platform) noexcept;

// Answers "kind" "synthetic-helper-contract" and "inputExecuted" false when
// translateSelfTest() passes; refuses with "self-test failed" otherwise.
Object selfTestOperation(const Call& call);

}  // namespace quillgate
