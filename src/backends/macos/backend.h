#pragma once

#include <memory>

#include "platform/platform.h"

namespace quillgate::macos {

// The real macOS desktop of this session.
std::shared_ptr<Platform> makeMacPlatform();

}  // namespace quillgate::macos
