#include "backends/x11/ax_roles.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

namespace quillgate::x11 {

namespace {

constexpr std::pair<std::string_view, std::string_view> roles[] = {
    {"application", "AXApplication"},
    {"push button", "AXButton"},
    {"toggle button", "AXButton"},
    {"check box", "AXCheckBox"},
    {"radio button", "AXRadioButton"},
    {"menu bar", "AXMenuBar"},
    {"menu", "AXMenu"},
    {"popup menu", "AXMenu"},
    {"menu item", "AXMenuItem"},
    {"check menu item", "AXMenuItem"},
    {"radio menu item", "AXMenuItem"},
    {"tearoff menu item", "AXMenuItem"},
    {"label", "AXStaticText"},
    {"static", "AXStaticText"},
    {"caption", "AXStaticText"},
    {"heading", "AXHeading"},
    {"list", "AXList"},
    {"list box", "AXList"},
    {"list item", "AXRow"},
    {"table", "AXTable"},
    {"tree table", "AXTable"},
    {"tree", "AXOutline"},
    {"table row", "AXRow"},
    {"table cell", "AXCell"},
    {"tree item", "AXRow"},
    {"scroll pane", "AXScrollArea"},
    {"scroll bar", "AXScrollBar"},
    {"image", "AXImage"},
    {"icon", "AXImage"},
    {"link", "AXLink"},
    {"combo box", "AXComboBox"},
    {"slider", "AXSlider"},
    {"spin button", "AXIncrementor"},
    {"progress bar", "AXProgressIndicator"},
    {"tool bar", "AXToolbar"},
    {"page tab list", "AXTabGroup"},
    {"page tab", "AXRadioButton"},
    {"tool tip", "AXHelpTag"},
    {"document web", "AXWebArea"},
    {"document frame", "AXWebArea"},
    {"html container", "AXWebArea"},
    {"panel", "AXGroup"},
    {"filler", "AXGroup"},
    {"section", "AXGroup"},
    {"grouping", "AXGroup"},
    {"form", "AXGroup"},
    {"viewport", "AXGroup"},
    {"layered pane", "AXGroup"},
    {"split pane", "AXSplitGroup"},
    {"status bar", "AXGroup"},
    {"separator", "AXGroup"},
};

constexpr std::array<std::string_view, 5> windowRoles{"frame", "window", "dialog", "alert", "file chooser"};
constexpr std::array<std::string_view, 4> textRoles{"text", "entry", "terminal", "editbar"};
constexpr std::array<std::string_view, 2> documentRoles{"paragraph", "document text"};

bool among(std::string_view role, const auto& list) { return std::find(list.begin(), list.end(), role) != list.end(); }

// Preferred press actions, in order; GTK names a button's "click", a menu
// item's "click" too, a check box's "toggle", a link's "jump".
constexpr std::array<std::string_view, 5> pressNames{"click", "press", "activate", "toggle", "jump"};

}  // namespace

AxRole axRoleOf(std::string_view atspiRole, bool multiLine) {
    if (among(atspiRole, windowRoles)) {
        const bool dialog = atspiRole != "frame" && atspiRole != "window";
        return AxRole{"AXWindow", dialog ? "AXDialog" : (atspiRole == "frame" ? "AXStandardWindow" : ""),
                      TextSource::title, true};
    }
    if (atspiRole == "password text") return AxRole{"AXTextField", "AXSecureTextField", TextSource::secure};
    if (among(atspiRole, textRoles)) {
        return AxRole{multiLine ? "AXTextArea" : "AXTextField", "", TextSource::content};
    }
    if (among(atspiRole, documentRoles)) return AxRole{"AXTextArea", "", TextSource::content};
    for (const auto& [name, role] : roles) {
        if (name == atspiRole) {
            const bool label = role == "AXStaticText" || role == "AXHeading";
            return AxRole{role, "", label ? TextSource::label : TextSource::title};
        }
    }
    return AxRole{"AXUnknown", "", TextSource::title};
}

bool knownExtents(int x, int y, int width, int height) {
    return x != INT_MIN && y != INT_MIN && width >= 0 && height >= 0;
}

bool pressedByClick(std::string_view axRole) {
    constexpr std::array<std::string_view, 5> clicked{"AXButton", "AXCheckBox", "AXRadioButton", "AXMenuItem", "AXLink"};
    return among(axRole, clicked);
}

std::optional<int> pressAction(const std::vector<std::string>& names) {
    for (std::string_view wanted : pressNames) {
        auto it = std::find(names.begin(), names.end(), wanted);
        if (it != names.end()) return static_cast<int>(it - names.begin());
    }
    if (names.empty()) return std::nullopt;
    // Otherwise the first, which AT-SPI makes the default action.
    return 0;
}

}  // namespace quillgate::x11
