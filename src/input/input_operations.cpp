#include "input/input_operations.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/trace.h"
#include "core/values.h"
#include "input/pointer_state.h"
#include "windows/pointer.h"

namespace quillgate {

namespace {

constexpr uint16_t keyCodes = 128;
// Command, shift, caps lock, option, control and function, left and right:
// releasing them could change what a key the user holds means.
constexpr uint16_t firstModifier = 54;
constexpr uint16_t lastModifier = 63;
// Time for the posted releases to reach the key state.
constexpr double releaseSettle = 0.4;

bool held(Platform& platform, uint16_t code) { return platform.keyDown(EventSourceState::hidSystem, code); }

// The listed codes, truncated, that are real keys and not modifiers.
std::vector<uint16_t> releasable(const Object& request) {
    std::vector<uint16_t> codes;
    for (double value : numberList(request, "keys")) {
        const double code = std::trunc(value);
        if (!(code >= 0 && code < keyCodes)) continue;
        if (isModifierCode(code)) continue;
        codes.push_back(static_cast<uint16_t>(code));
    }
    return codes;
}

Array numbers(const std::vector<uint16_t>& codes) { return Array(codes.begin(), codes.end()); }

}  // namespace

bool isModifierCode(double code) { return code >= firstModifier && code <= lastModifier; }

Object inputIdleOperation(const Call& call) {
    Platform& p = call.platform();
    const double keyIdle = std::min(p.secondsSinceLastEvent(EventSourceState::combinedSession, eventType::keyDown),
                                    p.secondsSinceLastEvent(EventSourceState::combinedSession, eventType::keyUp));
    Array heldKeys;
    for (uint16_t code = 0; code < keyCodes; ++code) {
        if (held(p, code)) heldKeys.emplace_back(code);
    }
    const std::vector<int32_t> buttons = heldButtons(p);
    auto front = p.frontmostApplication();
    return Object{
        {"idleMs", idle(p)},
        {"keyIdleMs", keyIdle * 1000},
        {"heldKeys", std::move(heldKeys)},
        {"heldButtons", Array(buttons.begin(), buttons.end())},
        {"frontBundle", front && front->bundle ? *front->bundle : std::string()},
        {"frontPid", front ? front->pid : 0},
    };
}

Object releaseKeysOperation(const Call& call) {
    Platform& p = call.platform();
    std::vector<uint16_t> pressed;
    for (uint16_t code : releasable(call.request)) {
        if (held(p, code)) pressed.push_back(code);
    }
    for (uint16_t code : pressed) {
        // An event that cannot be created is skipped; the key then stays held.
        p.post(KeyboardEvent{code, false, std::nullopt, std::nullopt, EventSourceState::hidSystem});
    }
    pause(p, releaseSettle, Wait::keyRelease);
    std::vector<uint16_t> stillHeld;
    std::vector<uint16_t> released;
    for (uint16_t code : pressed) (held(p, code) ? stillHeld : released).push_back(code);
    return Object{{"released", numbers(released)}, {"stillHeld", numbers(stillHeld)}};
}

}  // namespace quillgate
