#include "backends/sim/clock.h"

#include "backends/sim/scaled_clock.h"
#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"
#include "backends/sim/virtual_clock.h"

namespace quillgate::sim {

std::shared_ptr<Clock> sceneClock(const Value& scene) {
    const std::string* mode = text(member(scene, "clock"));
    if (mode && *mode == virtualClock) return std::make_shared<VirtualClock>();
    return std::make_shared<ScaledClock>(number(member(scene, "timeScale")).value_or(defaults::timeScale));
}

}  // namespace quillgate::sim
