// The event calls of the simulated desktop: input state and posted events.
#include <cmath>

#include "backends/sim/sim_platform.h"
#include "backends/sim/input.h"

namespace quillgate::sim {

namespace {

// An event at a location JSON cannot write is one the event system cannot create.
bool finite(Point point) { return std::isfinite(point.x) && std::isfinite(point.y); }

}  // namespace

double SimPlatform::secondsSinceLastEvent(EventSourceState, uint32_t eventType) {
    std::lock_guard lock(mutex_);
    double now = advance();
    return since_.seconds(scene_, eventType, now);
}

bool SimPlatform::keyDown(EventSourceState, uint16_t code) {
    std::lock_guard lock(mutex_);
    advance();
    return keyIsDown(scene_, code);
}

std::optional<Point> SimPlatform::pointerLocation() {
    std::lock_guard lock(mutex_);
    advance();
    return pointer(scene_);
}

bool SimPlatform::buttonDown(EventSourceState, uint32_t button) {
    std::lock_guard lock(mutex_);
    advance();
    return buttonIsDown(scene_, button);
}

bool SimPlatform::pointerGrabbed() {
    std::lock_guard lock(mutex_);
    advance();
    return pointerIsGrabbed(scene_);
}

bool SimPlatform::post(const KeyboardEvent& event) {
    std::lock_guard lock(mutex_);
    double now = advance();
    Value to = event.pid ? Value(*event.pid) : Value("hid");
    log_.append(now, "key",
                {{"code", event.code}, {"down", event.down}, {"flags", event.flags.value_or(0)}, {"to", to}});
    if (event.down) {
        script_.happened(Object{{"key", event.code}}, now);
    } else {
        releaseKey(scene_, event.code);
    }
    return true;
}

bool SimPlatform::post(const MouseEvent& event) {
    if (!finite(event.location)) return false;
    std::lock_guard lock(mutex_);
    double now = advance();
    Object fields{{"type", event.type}, {"x", event.location.x}, {"y", event.location.y}, {"button", event.button}};
    if (event.clickState) fields["clickState"] = *event.clickState;
    log_.append(now, "mouse", std::move(fields));
    movePointer(scene_, event.location);
    if (event.type == mouse::leftDown) script_.happened(Object{{"click", "left"}}, now);
    if (event.type == mouse::rightDown) script_.happened(Object{{"click", "right"}}, now);
    return true;
}

bool SimPlatform::post(const ScrollEvent& event) {
    if (!finite(event.location)) return false;
    std::lock_guard lock(mutex_);
    double now = advance();
    log_.append(now, "scroll", {{"lines", event.lines}, {"x", event.location.x}, {"y", event.location.y}});
    return true;
}

}  // namespace quillgate::sim
