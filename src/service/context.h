#pragma once
// What every operation reaches: the platform, and the only state that
// outlives a request, the capture bookkeeping.

#include <memory>

#include "platform/platform.h"

namespace quillgate {

struct Context {
    std::shared_ptr<Platform> platform;
};

}  // namespace quillgate
