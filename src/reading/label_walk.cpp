#include "reading/label_walk.h"

#include <utf8proc.h>

#include "windows/accessibility.h"
#include "windows/ax_windows.h"

namespace quillgate {

namespace {

// A space separator (any width, no-break included) or a tab, as a button
// title padded for layout carries them.
bool isPadding(utf8proc_int32_t codepoint) {
    return codepoint == '\t' || utf8proc_category(codepoint) == UTF8PROC_CATEGORY_ZS;
}

}  // namespace

std::string trimmedLabel(const std::string& text) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    size_t begin = std::string::npos;  // first byte of the first kept code point
    size_t end = 0;                    // one past the last kept code point
    for (size_t offset = 0; offset < text.size();) {
        utf8proc_int32_t codepoint = 0;
        auto length = utf8proc_iterate(bytes + offset, static_cast<utf8proc_ssize_t>(text.size() - offset), &codepoint);
        // An invalid byte is kept, as text of its own.
        const bool padding = length > 0 && isPadding(codepoint);
        const size_t step = length > 0 ? static_cast<size_t>(length) : 1;
        if (!padding) {
            if (begin == std::string::npos) begin = offset;
            end = offset + step;
        }
        offset += step;
    }
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin);
}

void labelWalk(Platform& platform, const Element& element, int depth, const std::set<std::string>& labels,
               std::vector<Element>& matches) {
    if (depth > labelMaxDepth || matches.size() >= labelMaxMatches) return;
    for (const char* attribute : {"AXTitle", "AXValue", "AXDescription"}) {
        auto value = axText(platform, element, attribute);
        if (value && labels.contains(trimmedLabel(*value))) {
            matches.push_back(element);
            break;
        }
    }
    // Matched elements are searched too: a labelled group may hold its button.
    for (const Element& child : axChildren(platform, element)) labelWalk(platform, child, depth + 1, labels, matches);
}

}  // namespace quillgate
