#include "platform/backend.h"

#include "backends/macos/mac_platform.h"

namespace quillgate {

std::shared_ptr<Platform> makePlatform() { return std::make_shared<macos::MacPlatform>(); }

}  // namespace quillgate
