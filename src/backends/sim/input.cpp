#include "backends/sim/input.h"

#include <algorithm>
#include <array>
#include <limits>

#include "platform/platform.h"
#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"

namespace quillgate::sim {

namespace {

struct EventKind {
    uint32_t type;
    std::string_view name;
};

constexpr std::array<EventKind, 9> eventKinds{{
    {eventType::keyDown, "keyDown"},
    {eventType::keyUp, "keyUp"},
    {eventType::mouseMoved, "mouseMoved"},
    {eventType::leftMouseDown, "leftMouseDown"},
    {eventType::rightMouseDown, "rightMouseDown"},
    {eventType::scrollWheel, "scrollWheel"},
    {eventType::leftMouseDragged, "leftMouseDragged"},
    {eventType::rightMouseDragged, "rightMouseDragged"},
    {eventType::leftMouseUp, "leftMouseUp"},
}};

const Value* inputMember(const Value& scene, std::string_view key) {
    const Value* input = member(scene, "input");
    return input ? member(*input, key) : nullptr;
}

bool listHolds(const Value* list, uint16_t code) {
    if (!list || !list->isArray()) return false;
    return std::any_of(list->asArray()->begin(), list->asArray()->end(),
                       [&](const Value& held) { return integer(&held) == code; });
}

}  // namespace

std::optional<std::string_view> eventName(uint32_t type) {
    for (const EventKind& kind : eventKinds)
        if (kind.type == type) return kind.name;
    return std::nullopt;
}

void Since::patched(const Value& patch, double time) {
    const Value* input = member(patch, "input");
    if (!input) return;
    const Value* since = member(*input, "since");
    // Replacing or removing "input" or "since" as a whole resets every kind.
    bool whole = !input->isObject() || (since && !since->isObject());
    if (!whole && !since) return;
    for (const EventKind& kind : eventKinds)
        if (whole || member(*since, kind.name)) setAt_[std::string(kind.name)] = time;
}

double Since::secondsFor(const Value& scene, std::string_view name, double now) const {
    const Value* since = inputMember(scene, "since");
    double base = (since ? number(member(*since, name)) : std::nullopt).value_or(defaults::since);
    auto set = setAt_.find(name);
    return base + now - (set == setAt_.end() ? 0.0 : set->second);
}

double Since::seconds(const Value& scene, uint32_t type, double now) const {
    if (auto name = eventName(type)) return secondsFor(scene, *name, now);
    if (type != eventType::anyInput) return defaults::since + now;
    double least = std::numeric_limits<double>::infinity();
    for (const EventKind& kind : eventKinds) least = std::min(least, secondsFor(scene, kind.name, now));
    return least;
}

bool keyIsDown(const Value& scene, uint16_t code) {
    return listHolds(inputMember(scene, "held"), code) || listHolds(inputMember(scene, "stuck"), code);
}

void releaseKey(Value& scene, uint16_t code) {
    if (listHolds(inputMember(scene, "stuck"), code)) return;
    Object& root = *scene.asObject();
    auto input = root.find("input");
    Object* inputObject = input == root.end() ? nullptr : input->second.asObject();
    auto held = inputObject ? inputObject->find("held") : Object::iterator{};
    if (!inputObject || held == inputObject->end() || !held->second.isArray()) return;
    std::erase_if(*held->second.asArray(), [&](const Value& key) { return integer(&key) == code; });
}

bool buttonIsDown(const Value& scene, uint32_t button) {
    return button <= std::numeric_limits<uint16_t>::max() &&
           listHolds(inputMember(scene, "buttons"), static_cast<uint16_t>(button));
}

bool pointerIsGrabbed(const Value& scene) { return boolean(inputMember(scene, "grab")) == true; }

Point pointer(const Value& scene) {
    auto location = pairFromArray(inputMember(scene, "pointer"));
    return location ? Point{location->first, location->second} : Point{};
}

void movePointer(Value& scene, Point location) {
    objectAt(*scene.asObject(), "input")["pointer"] = Array{location.x, location.y};
}

}  // namespace quillgate::sim
