#include "input/execute_operations.h"

#include <cmath>
#include <functional>
#include <string>

#include "capture/guard.h"
#include "core/failure.h"
#include "core/values.h"
#include "input/composition.h"
#include "input/key_posting.h"
#include "input/pointer_state.h"
#include "input/target_proof.h"
#include "windows/accessibility.h"
#include "windows/pointer.h"
#include "windows/verification.h"

namespace quillgate {

namespace {

constexpr double maxScrollLines = 20;

// Pointer input lands wherever the window is now, so the frame the guard saw
// must still be the frame on screen.
void requireInPlace(const GatedCall& call) { requireUnmoved(call.platform(), call.bound, call.window.rect); }

Object key(const GatedCall& call, const Object& action) {
    // The first guard ran with focus; this one proves the header again, and
    // focus is proven once more right before each key goes down.
    check(call.context, call.bound, false);
    requireNoComposition(call.platform());
    postKey(call.platform(), text(member(action, "key")), call.window.pid,
            [&](const std::function<void()>& down) { postProven(call, down); });
    return {};
}

Object pointer(const GatedCall& call, const Object& action, bool isClick) {
    Platform& platform = call.platform();
    const Window& window = call.window;
    const bool popupOk = flag(action, "popupOk");
    const Point point = normalizedPoint(platform, window, member(action, "x"), member(action, "y"), popupOk);
    requireInPlace(call);
    requirePointerFree(platform);
    if (!isClick) {
        postAtTarget(call, point, popupOk,
                     [&] { platform.post(MouseEvent{mouse::moved, point, mouse::leftButton, std::nullopt}); });
        return {};
    }

    const std::string button = text(member(action, "button"));
    const auto count = number(member(action, "count"));
    if ((button != "left" && button != "right") || !count || (*count != 1 && *count != 2)) reject(msg::invalidClick);
    const bool left = button == "left";
    const int32_t buttonNumber = left ? mouse::leftButton : mouse::rightButton;
    for (int64_t i = 1; i <= static_cast<int64_t>(*count); ++i) {
        // The first click may have changed what is on screen.
        postAtTarget(call, point, popupOk, [&] {
            platform.post(MouseEvent{left ? mouse::leftDown : mouse::rightDown, point, buttonNumber, i});
            platform.post(MouseEvent{left ? mouse::leftUp : mouse::rightUp, point, buttonNumber, i});
        });
    }
    return {};
}

Object scroll(const GatedCall& call, const Object& action) {
    const Point point =
        normalizedPoint(call.platform(), call.window, member(action, "x"), member(action, "y"), false);
    const auto amount = number(member(action, "amount"));
    const std::string direction = text(member(action, "direction"));
    if (!amount || *amount < 1 || *amount > maxScrollLines || std::floor(*amount) != *amount ||
        (direction != "up" && direction != "down")) {
        reject(msg::invalidScroll);
    }
    const auto lines = static_cast<int32_t>(*amount);
    requireInPlace(call);
    requirePointerFree(call.platform());
    postAtTarget(call, point, false,
                 [&] { call.platform().post(ScrollEvent{direction == "up" ? lines : -lines, point}); });
    return {};
}

}  // namespace

Object executeOperation(const GatedCall& call) {
    permissions(call.platform());
    const Object* action = objectAt(call.request, "action");
    if (!action) reject(msg::actionRequired);
    const std::string kind = text(member(*action, "kind"));
    if (kind == "key") return key(call, *action);
    if (kind == "move" || kind == "click") return pointer(call, *action, kind == "click");
    if (kind == "scroll") return scroll(call, *action);
    // There is deliberately no kind that types text.
    reject(msg::textInputUnsupported);
}

}  // namespace quillgate
