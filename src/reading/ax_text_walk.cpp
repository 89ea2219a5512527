#include "reading/ax_text_walk.h"

#include <array>
#include <map>
#include <optional>
#include <string_view>

#include "core/characters.h"
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

// An element's string attributes, each read from the application at most
// once: the text and the record ask for some of the same.
class Strings {
public:
    Strings(Platform& platform, const Element& element) : platform_(platform), element_(element) {}
    const std::string& operator[](std::string_view attribute) {
        auto it = read_.find(attribute);
        if (it == read_.end()) it = read_.emplace(attribute, axString(platform_, element_, std::string(attribute))).first;
        return it->second;
    }

private:
    Platform& platform_;
    const Element& element_;
    std::map<std::string_view, std::string> read_;
};

std::string elementText(Strings& strings) {
    for (std::string_view attribute : {"AXValue", "AXTitle", "AXDescription"}) {
        const std::string& s = strings[attribute];
        if (!s.empty()) return s;
    }
    return {};
}

// A degenerate window must not turn the fractions into infinities.
double divisor(double length) { return length <= 1 ? 1 : length; }

Object record(Strings& strings, const std::string& role, const std::string& text,
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
        const std::string& s = strings[row.attribute];
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
    Strings strings(platform, element);
    const std::string text = elementText(strings);
    if ((!text.empty() || depth >= axTextRecordAllFromDepth) && walk.items.size() < axTextMaxItems) {
        if (auto frame = axRect(platform, element)) {
            walk.items.emplace_back(record(strings, role, text, *frame, depth, children, window));
        }
    }
    if (!children) return;
    for (const Element& child : *children) axTextWalk(platform, child, depth + 1, walk, window);
}

}  // namespace quillgate
