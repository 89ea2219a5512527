#include "backends/sim/backend.h"

#include <cstdlib>

#include "backends/sim/demo_scene.h"
#include "backends/sim/sim_platform.h"

namespace quillgate::sim {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::shared_ptr<Platform> makeSimPlatform() {
    auto log = environment("QUILLGATE_SIM_LOG");
    if (auto scene = environment("QUILLGATE_SCENE")) return SimPlatform::fromFile(*scene, log);
    return SimPlatform::fromText(demoScene(), ".", log);
}

}  // namespace quillgate::sim
