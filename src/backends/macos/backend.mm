#include "backends/macos/backend.h"

#include "backends/macos/mac_platform.h"

namespace quillgate::macos {

std::shared_ptr<Platform> makeMacPlatform() { return std::make_shared<MacPlatform>(); }

}  // namespace quillgate::macos
