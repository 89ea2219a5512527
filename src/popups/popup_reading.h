#pragma once
// Reading a popup's texts through the accessibility windows of its process
// that sit at the popup's origin. Unreadable attributes count as absent.

#include <string>
#include <vector>

#include "platform/platform.h"
#include "windows/popup_detection.h"

namespace quillgate {

inline constexpr size_t popupMaxTexts = 80;
inline constexpr int popupTextsMaxDepth = 10;
inline constexpr size_t popupMaxElements = 120;
inline constexpr int popupElementsMaxDepth = 12;
inline constexpr size_t popupMaxTextCharacters = 200;  // a longer text is skipped, not cut
inline constexpr double popupMinElementSize = 4;

// One text-bearing element, frame in global points.
struct PopupElement {
    std::string text;
    Rect frame;
};

// The distinct texts of the popup, in discovery order.
std::vector<std::string> popupTexts(Platform& platform, const PopupInfo& popup);

// The text-bearing elements of the popup, in discovery order.
std::vector<PopupElement> popupElements(Platform& platform, const PopupInfo& popup);

}  // namespace quillgate
