#include "platform/sim/backend.h"

#include <cstdlib>

#include "platform/sim/demo_scene.h"
#include "platform/sim/desktop.h"

namespace quillgate::sim {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::shared_ptr<Platform> makeDesktop() {
    auto log = environment("QUILLGATE_SIM_LOG");
    if (auto scene = environment("QUILLGATE_SCENE")) return Desktop::fromFile(*scene, log);
    return Desktop::fromText(demoScene(), ".", log);
}

}  // namespace quillgate::sim
