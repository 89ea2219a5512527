#pragma once
// The user's input state in "input": how long since the user's last event of
// each kind, the keys held down, and the pointer.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::sim {

// The event kind of "input"."since" for an event-type number.
std::optional<std::string_view> eventName(uint32_t type);

// "since" values grow with simulated time from the moment the scene, or the
// patch that set them, took effect.
class Since {
public:
    // Notes the values a patch that took effect at `time` set (or removed).
    void patched(const Value& patch, double time);
    // Seconds since the user's last event of that type at simulated time `now`.
    double seconds(const Value& scene, uint32_t type, double now) const;

private:
    double secondsFor(const Value& scene, std::string_view name, double now) const;

    std::map<std::string, double, std::less<>> setAt_;
};

// A key is down when "held" or "stuck" lists it.
bool keyIsDown(const Value& scene, uint16_t code);
// A posted key-up: the key is no longer held unless it is stuck.
void releaseKey(Value& scene, uint16_t code);

// A mouse button is down when "buttons" lists its number.
bool buttonIsDown(const Value& scene, uint32_t button);
// Whether "grab" says another program holds the pointer grabbed.
bool pointerIsGrabbed(const Value& scene);

Point pointer(const Value& scene);
void movePointer(Value& scene, Point location);

}  // namespace quillgate::sim
