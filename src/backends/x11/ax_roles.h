#pragma once
// How an AT-SPI element reads as the accessibility attributes the core asks
// for: its role and subrole, where its texts come from, whether its extents
// are a real place, which action is its press. Roles arrive by their AT-SPI
// names ("push button", "password text"), so none of this needs a bus.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillgate::x11 {

// Where AXTitle, AXValue and AXDescription come from.
enum class TextSource {
    title,    // controls and windows: the name is the title
    content,  // editable text: the value is the text, the name a description
    label,    // static text: the value is the name
    secure,   // password text: the value is never read
};

struct AxRole {
    std::string_view role;
    std::string_view subrole;  // empty: none
    TextSource text = TextSource::title;
    bool window = false;       // a top-level window of its application
};

// multiLine: the element has the multi-line state (a text view, not an entry).
AxRole axRoleOf(std::string_view atspiRole, bool multiLine);

// Toolkits report elements that are not on screen at a sentinel far outside
// any display (G_MININT), or with a negative size: no position then.
bool knownExtents(int x, int y, int width, int height);

// Controls that a click at their centre presses.
bool pressedByClick(std::string_view axRole);

// The index of the action that presses an element, from its action names;
// absent when it has none.
std::optional<int> pressAction(const std::vector<std::string>& names);

}  // namespace quillgate::x11
