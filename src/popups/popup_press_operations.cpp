#include "popups/popup_operations.h"

#include <set>
#include <string>
#include <vector>

#include "core/trace.h"
#include "core/values.h"
#include "input/pointer_state.h"
#include "popups/popup_start.h"
#include "reading/label_walk.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"
#include "windows/geometry.h"
#include "windows/occlusion.h"

namespace quillgate {

namespace {

constexpr double afterPress = 0.6;
constexpr double beforeClick = 0.3;
constexpr double afterMouseEvent = 0.06;
constexpr double afterClick = 0.7;
// Anything smaller is not a target a click could hit reliably.
constexpr double minClickSize = 8;

Object notPressed(std::string why) {
    return Object{{"found", true}, {"pressed", false}, {"why", std::move(why)}};
}

Object outcome(bool pressed, bool clicked, bool stillOpen) {
    return Object{{"found", true}, {"pressed", pressed}, {"clicked", clicked}, {"stillOpen", stillOpen}};
}

// What a press came to, told only of an application that still runs: one
// that is gone by the answer may have died before it handled the press or
// the click, whatever the accessibility interface said, and its popup went
// with it.
Object answer(Platform& platform, const PopupInfo& popup, bool pressed, bool clicked, bool stillOpen) {
    if (!platform.runningApplication(popup.pid)) return outcome(false, false, false);
    return outcome(pressed, clicked, stillOpen);
}

// The one button among the matches, else the one match; nothing when the
// labels are ambiguous or absent.
std::optional<Element> target(Platform& platform, const std::vector<Element>& matches) {
    std::vector<Element> buttons;
    for (const Element& e : matches) {
        if (axString(platform, e, "AXRole") == "AXButton") buttons.push_back(e);
    }
    if (buttons.size() == 1) return buttons.front();
    if (matches.size() == 1) return matches.front();
    return std::nullopt;
}

// A label's text is often its own element inside the pressable one, so a
// press the element refuses goes to its parent; one it may have taken is
// never repeated there.
ActionOutcome pressOrParent(Platform& platform, const Element& element) {
    const ActionOutcome own = actionOutcome(platform.performAction(element, "AXPress"));
    if (own != ActionOutcome::failed) return own;
    auto parent = axElement(platform, element, "AXParent");
    return parent ? actionOutcome(platform.performAction(*parent, "AXPress")) : ActionOutcome::failed;
}

// Whether a button going down at the point now lands on the popup: its
// application still runs, the popup is the front window there, and nobody
// else holds a button or the pointer.
bool popupInFront(Platform& platform, const PopupInfo& popup, Point point) {
    if (!platform.runningApplication(popup.pid) || !pointerFree(platform)) return false;
    for (const VisibleLayer& layer : visibleLayers(platform, point, popup.pid)) {
        if (contains(layer.rect, point)) return layer.id == popup.id;
    }
    return false;
}

// A real left click at the centre of the frame, the popup raised first;
// whether the button went down. The pointer's move takes time to arrive,
// and meanwhile the application may have died or been covered, which would
// hand the click to the window beneath: the popup is looked for in front
// again right before the button goes down.
bool click(Platform& platform, const PopupInfo& popup, const std::vector<Element>& windows, const Rect& frame) {
    activatePopupOwner(platform, popup);
    for (const Element& w : windowsAt(platform, windows, popup.rect)) platform.performAction(w, "AXRaise");
    pause(platform, beforeClick, Wait::popupClick);
    const Point middle = centre(frame);
    platform.post(MouseEvent{mouse::moved, middle, mouse::leftButton, std::nullopt});
    pause(platform, afterMouseEvent, Wait::popupClick);
    if (!popupInFront(platform, popup, middle)) return false;
    for (int32_t type : {mouse::leftDown, mouse::leftUp}) {
        platform.post(MouseEvent{type, middle, mouse::leftButton, std::nullopt});
        pause(platform, afterMouseEvent, Wait::popupClick);
    }
    pause(platform, afterClick, Wait::popupClick);
    return true;
}

}  // namespace

Object popupPressOperation(const GatedCall& call) {
    Platform& platform = call.platform();
    const Window& window = call.window;
    auto popup = findPopup(platform, window, true);
    if (!popup) return noPopup(platform, window);
    // Only the bound application's own popups are ever pressed.
    if (popup->pid != window.pid) return notPressed("foreign");

    std::set<std::string> labels = stringSet(call.request, "labels");
    labels.erase("");
    auto windows = axWindows(platform, popup->pid);
    if (labels.empty() || !windows) return notPressed("no-labels");

    std::vector<Element> matches;
    for (const Element& w : windowsAt(platform, *windows, popup->rect)) labelWalk(platform, w, 0, labels, matches);
    auto chosen = target(platform, matches);
    if (!chosen) return notPressed("matches-" + std::to_string(matches.size()));

    const ActionOutcome press = pressOrParent(platform, *chosen);
    // An unconfirmed press counts as pressed: the host must not press again.
    const bool pressed = press != ActionOutcome::failed;
    pause(platform, afterPress, Wait::popupPress);
    if (!findPopup(platform, window, true)) return answer(platform, *popup, pressed, false, false);
    // The popup stays open while the application is still handling the press.
    if (press == ActionOutcome::unconfirmed) return answer(platform, *popup, true, false, true);
    // A press that did not close the popup (or an element without the
    // action) is retried as a click, when there is something to click.
    auto frame = axRect(platform, *chosen);
    if (!frame || !(frame->width >= minClickSize) || !(frame->height >= minClickSize)) {
        return answer(platform, *popup, pressed, false, true);
    }
    const bool clicked = click(platform, *popup, *windows, *frame);
    return answer(platform, *popup, pressed || clicked, clicked, findPopup(platform, window, true).has_value());
}

}  // namespace quillgate
