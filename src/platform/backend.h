#pragma once
// The platform the program runs on. Each backend defines makePlatform()
// exactly once and the build links exactly one backend: macOS on Apple
// systems, the simulated desktop everywhere else.

#include <memory>

#include "platform/platform.h"

namespace quillgate {

// The platform for this process. The simulated desktop reads its scene from
// QUILLGATE_SCENE (or uses its built-in demo scene) and appends its event log
// to QUILLGATE_SIM_LOG; a scene it cannot use makes it throw
// std::runtime_error with a one-line message naming the file and the problem.
std::shared_ptr<Platform> makePlatform();

}  // namespace quillgate
