#pragma once

#include <memory>

#include "platform/platform.h"

namespace quillgate::sim {

// The simulated desktop of QUILLGATE_SCENE (the built-in demo scene without
// one), logging to QUILLGATE_SIM_LOG; throws std::runtime_error with one line
// for a scene it cannot use.
std::shared_ptr<Platform> makeSimPlatform();

}  // namespace quillgate::sim
