#include "popups/popup_operations.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/failure.h"
#include "core/trace.h"
#include "input/key_posting.h"
#include "popups/popup_start.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"

namespace quillgate {

namespace {

constexpr double afterActivate = 0.35;
constexpr double afterEscape = 0.4;
constexpr double afterSelectAll = 0.12;
constexpr double afterBackspace = 0.2;

// Roles of a text field: while one holds the focus, Escape clears or leaves
// the field rather than closing its popup.
constexpr std::array<std::string_view, 4> textFieldRoles{"AXTextField", "AXTextArea", "AXSearchField",
                                                          "AXComboBox"};

// Keys reach whichever application is frontmost, like the user's own.
void press(Platform& platform, std::string_view key, double wait) {
    postKey(platform, key, std::nullopt);
    pause(platform, wait, Wait::popupKey);
}

// Whether the focused element of the process is a text field inside the
// still-open popup. A field anywhere else, such as the chat's composer with
// the user's unsent draft, must never be cleared.
bool focusedFieldInPopup(Platform& platform, int32_t pid, const PopupInfo& open) {
    auto focused = axElement(platform, platform.applicationElement(pid), "AXFocusedUIElement");
    if (!focused) return false;
    const std::string role = axString(platform, *focused, "AXRole");
    if (std::find(textFieldRoles.begin(), textFieldRoles.end(), role) == textFieldRoles.end()) return false;
    auto window = axElement(platform, *focused, "AXWindow");
    if (!window) return false;
    auto frame = axRect(platform, *window);
    return frame && sameOrigin(*frame, open.rect);
}

}  // namespace

Object popupCloseOperation(const GatedCall& call) {
    Platform& platform = call.platform();
    const Window& window = call.window;
    auto popup = findPopup(platform, window, false);
    if (!popup) return noPopup(platform, window);

    // The bound application's own popup needs its application in front; a
    // popup of another process is left to whatever is in front.
    auto front = platform.frontmostApplication();
    if (!(front && front->pid == popup->pid) && popup->pid == window.pid) {
        activatePopupOwner(platform, *popup);
        pause(platform, afterActivate, Wait::activation);
    }
    front = platform.frontmostApplication();
    if (!front || front->pid != popup->pid) reject(msg::lostFocus);
    press(platform, "escape", afterEscape);

    // The first Escape often only clears a search field, or leaves it focused.
    auto open = popupWindow(platform, window);
    if (open && popup->pid == window.pid) {
        if (focusedFieldInPopup(platform, popup->pid, *open)) {
            press(platform, "ctrl+a", afterSelectAll);
            press(platform, "backspace", afterBackspace);
        }
        press(platform, "escape", afterEscape);
    }
    return Object{{"found", true}, {"closed", !popupWindow(platform, window)}};
}

}  // namespace quillgate
