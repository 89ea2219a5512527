#include "windows/ax_windows.h"

#include <cmath>

#include "windows/accessibility.h"

namespace quillgate {

namespace {

constexpr double originTolerance = 3;

}  // namespace

std::optional<std::vector<Element>> axElements(Platform& platform, const Element& element,
                                               const std::string& attribute) {
    auto value = ax(platform, element, attribute);
    const Array* items = value ? value->asArray() : nullptr;
    if (!items) return std::nullopt;
    std::vector<Element> elements;
    elements.reserve(items->size());
    for (const Value& item : *items) {
        const Element* e = item.asElement();
        if (!e) return std::nullopt;
        elements.push_back(*e);
    }
    return elements;
}

std::vector<Element> axChildren(Platform& platform, const Element& element) {
    return axElements(platform, element, "AXChildren").value_or(std::vector<Element>{});
}

std::optional<std::vector<Element>> axWindows(Platform& platform, int32_t pid) {
    return axElements(platform, platform.applicationElement(pid), "AXWindows");
}

bool sameOrigin(const Rect& a, const Rect& b) {
    // Written as "<" so that a NaN coordinate never matches.
    return std::fabs(a.x - b.x) < originTolerance && std::fabs(a.y - b.y) < originTolerance;
}

std::vector<Element> windowsAt(Platform& platform, const std::vector<Element>& windows, const Rect& frame) {
    std::vector<Element> matching;
    for (const Element& window : windows) {
        auto rect = axRect(platform, window);
        if (rect && sameOrigin(*rect, frame)) matching.push_back(window);
    }
    return matching;
}

std::vector<Element> axWindowsAt(Platform& platform, int32_t pid, const Rect& frame) {
    auto windows = axWindows(platform, pid);
    return windows ? windowsAt(platform, *windows, frame) : std::vector<Element>{};
}

}  // namespace quillgate
