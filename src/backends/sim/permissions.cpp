#include "backends/sim/permissions.h"

#include "backends/sim/scene_values.h"

namespace quillgate::sim {

bool accessibilityTrusted(const Value& scene) { return boolean(member(scene, "accessibility")).value_or(true); }

bool screenRecording(const Value& scene) { return boolean(member(scene, "screenRecording")).value_or(true); }

bool screenRecordingGrant(const Value& scene) {
    return boolean(member(scene, "screenRecordingGrant")).value_or(screenRecording(scene));
}

std::optional<Value> session(const Value& scene) {
    const Value* written = member(scene, "session");
    if (!written) return Object{{"kCGSSessionOnConsoleKey", true}, {"kCGSessionLoginDoneKey", true}};
    if (written->isNull()) return std::nullopt;
    return *written;
}

}  // namespace quillgate::sim
