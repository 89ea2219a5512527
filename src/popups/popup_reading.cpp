#include "popups/popup_reading.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/characters.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"

namespace quillgate {

namespace {

constexpr std::array<const char*, 3> textAttributes{"AXValue", "AXTitle", "AXDescription"};

// The attribute's string when it is one a popup reading takes.
std::optional<std::string> takenText(Platform& platform, const Element& element, const char* attribute) {
    std::string s = axString(platform, element, attribute);
    if (s.empty() || !withinCharacters(s, popupMaxTextCharacters)) return std::nullopt;
    return s;
}

void textsWalk(Platform& platform, const Element& element, int depth, std::vector<std::string>& texts) {
    if (texts.size() >= popupMaxTexts || depth > popupTextsMaxDepth) return;
    // One element may contribute all three of its texts.
    for (const char* attribute : textAttributes) {
        auto s = takenText(platform, element, attribute);
        if (s && std::find(texts.begin(), texts.end(), *s) == texts.end()) texts.push_back(std::move(*s));
    }
    for (const Element& child : axChildren(platform, element)) textsWalk(platform, child, depth + 1, texts);
}

void elementsWalk(Platform& platform, const Element& element, int depth, std::vector<PopupElement>& found) {
    if (found.size() >= popupMaxElements || depth > popupElementsMaxDepth) return;
    std::optional<std::string> text;
    for (const char* attribute : textAttributes) {
        if ((text = takenText(platform, element, attribute))) break;
    }
    if (text) {
        auto frame = axRect(platform, element);
        if (frame && frame->width >= popupMinElementSize && frame->height >= popupMinElementSize) {
            found.push_back(PopupElement{std::move(*text), *frame});
        }
    }
    for (const Element& child : axChildren(platform, element)) elementsWalk(platform, child, depth + 1, found);
}

}  // namespace

std::vector<std::string> popupTexts(Platform& platform, const PopupInfo& popup) {
    std::vector<std::string> texts;
    for (const Element& window : axWindowsAt(platform, popup.pid, popup.rect)) textsWalk(platform, window, 0, texts);
    return texts;
}

std::vector<PopupElement> popupElements(Platform& platform, const PopupInfo& popup) {
    std::vector<PopupElement> found;
    for (const Element& window : axWindowsAt(platform, popup.pid, popup.rect)) elementsWalk(platform, window, 0, found);
    return found;
}

}  // namespace quillgate
