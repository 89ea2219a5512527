// The simulated desktop is the platform wherever the macOS backend is not built.
#include <cstdlib>

#include "platform/backend.h"
#include "platform/sim/demo_scene.h"
#include "platform/sim/desktop.h"

namespace quillgate {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::shared_ptr<Platform> makePlatform() {
    auto log = environment("QUILLGATE_SIM_LOG");
    if (auto scene = environment("QUILLGATE_SCENE")) return sim::Desktop::fromFile(*scene, log);
    return sim::Desktop::fromText(sim::demoScene(), ".", log);
}

}  // namespace quillgate
