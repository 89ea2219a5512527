#include "backends/sim/hit_test.h"

#include "backends/sim/scene_values.h"
#include "backends/sim/window_server.h"

namespace quillgate::sim {

namespace {

struct Decision {
    bool decided = false;
    std::optional<int32_t> pid;
};

Decision fromHitTest(const Value& scene, Point point) {
    const Value* rules = member(scene, "hitTest");
    if (!rules || !rules->isArray()) return {};
    for (const Value& rule : *rules->asArray()) {
        auto rect = rectFromArray(member(rule, "rect"));
        if (rect && contains(*rect, point)) return {true, pid(member(rule, "pid"))};
    }
    return {};
}

std::optional<ElementPlace> deepest(const Value& scene, const Object& element, const ElementPlace& place,
                                    Point point) {
    std::optional<ElementPlace> found;
    forEachInside(element, place, [&](const Object& inner, const ElementPlace& innerPlace) {
        auto frame = frameOf(scene, innerPlace);
        if (frame && !contains(*frame, point)) return false;
        found = deepest(scene, inner, innerPlace, point);
        if (!found && frame) found = innerPlace;
        return found.has_value();
    });
    return found;
}

}  // namespace

std::optional<int32_t> hitPid(const Value& scene, Point point) {
    if (Decision rule = fromHitTest(scene, point); rule.decided) return rule.pid;
    for (const Object* window : onScreenWindows(scene)) {
        auto alpha = number(member(*window, "kCGWindowAlpha"));
        auto frame = boundsRect(member(*window, "kCGWindowBounds"));
        if (alpha && *alpha > 0 && frame && contains(*frame, point)) return pid(member(*window, "kCGWindowOwnerPID"));
    }
    return std::nullopt;
}

ElementPlace elementAt(const Value& scene, int32_t pid, Point point) {
    ElementPlace application{false, pid, {}};
    const Object* root = resolve(scene, application);
    return deepest(scene, *root, application, point).value_or(application);
}

}  // namespace quillgate::sim
