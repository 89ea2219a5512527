#include "popups/ax_text_walk.h"

#include <array>
#include <optional>
#include <string_view>

#include "service/characters.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"

namespace quillgate {

namespace {

constexpr size_t textKept = 4000;

struct OptionalKey {
    std::string_view key;
    const char* attribute;
    size_t kept;  // user-perceived characters
};

constexpr std::array<OptionalKey, 6> optionalKeys{{
    {"sub", "AXSubrole", 80},
    {"rd", "AXRoleDescription", 80},
    {"help", "AXHelp", 80},
    {"id", "AXIdentifier", 80},
    {"desc", "AXDescription", 80},
    {"title", "AXTitle", textKept},
}};

std::string elementText(Platform& platform, const Element& element) {
    for (const char* attribute : {"AXValue", "AXTitle", "AXDescription"}) {
        std::string s = axString(platform, element, attribute);
        if (!s.empty()) return s;
    }
    return {};
}

// A degenerate window must not turn the fractions into infinities.
double divisor(double length) { return length <= 1 ? 1 : length; }

Object record(Platform& platform, const Element& element, const std::string& role, const std::string& text,
              const Rect& frame, int depth, const std::optional<std::vector<Element>>& children,
              const Window& window) {
    const double width = divisor(window.rect.width);
    const double height = divisor(window.rect.height);
    Object item{
        {"role", role},
        {"text", firstCharacters(text, textKept)},
        {"x", (frame.x - window.rect.x) / width},
        {"y", (frame.y - window.rect.y) / height},
        {"w", frame.width / width},
        {"h", frame.height / height},
        {"depth", depth},
    };
    for (const OptionalKey& row : optionalKeys) {
        std::string s = axString(platform, element, row.attribute);
        if (!s.empty()) item.emplace(row.key, firstCharacters(s, row.kept));
    }
    if (children) item.emplace("kids", children->size());
    return item;
}

}  // namespace

void axTextWalk(Platform& platform, const Element& element, int depth, TextWalk& walk, const Window& window) {
    if (walk.visited >= axTextMaxVisited || depth > axTextMaxDepth) return;
    ++walk.visited;
    const std::string role = axString(platform, element, "AXRole");
    ++walk.roles[role];

    // Read once: the record's "kids" and the descent see the same children.
    const auto children = axElements(platform, element, "AXChildren");
    const std::string text = elementText(platform, element);
    if ((!text.empty() || depth >= axTextRecordAllFromDepth) && walk.items.size() < axTextMaxItems) {
        if (auto frame = axRect(platform, element)) {
            walk.items.emplace_back(record(platform, element, role, text, *frame, depth, children, window));
        }
    }
    if (!children) return;
    for (const Element& child : *children) axTextWalk(platform, child, depth + 1, walk, window);
}

}  // namespace quillgate
