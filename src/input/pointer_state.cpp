#include "input/pointer_state.h"

#include <string>

#include "core/failure.h"

namespace quillgate {

namespace {

// Left, right, middle, back and forward: the buttons a mouse has.
constexpr int32_t mouseButtons = 5;

}  // namespace

std::vector<int32_t> heldButtons(Platform& platform) {
    std::vector<int32_t> held;
    for (int32_t button = 0; button < mouseButtons; ++button) {
        if (platform.buttonDown(EventSourceState::combinedSession, static_cast<uint32_t>(button)))
            held.push_back(button);
    }
    return held;
}

bool pointerFree(Platform& platform) { return heldButtons(platform).empty() && !platform.pointerGrabbed(); }

void requirePointerFree(Platform& platform) {
    const std::vector<int32_t> held = heldButtons(platform);
    if (!held.empty()) {
        std::string buttons;
        for (int32_t button : held) buttons += (buttons.empty() ? "" : ",") + std::to_string(button);
        reject(std::string(msg::buttonHeld) + buttons);
    }
    if (platform.pointerGrabbed()) reject(msg::pointerGrabbed);
}

}  // namespace quillgate
