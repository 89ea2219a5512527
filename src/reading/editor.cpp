#include "reading/editor.h"

#include "core/characters.h"
#include "windows/accessibility.h"
#include "windows/geometry.h"

namespace quillgate {

std::optional<std::string> editorValue(Platform& platform, const Element& element, const Rect& searchRect) {
    const std::string role = axString(platform, element, "AXRole");
    if (role != "AXTextArea" && role != "AXTextField") return std::nullopt;
    if (axString(platform, element, "AXSubrole") == "AXSecureTextField") return std::nullopt;
    auto frame = axRect(platform, element);
    if (!frame) return std::nullopt;
    if (!contains(searchRect, centre(*frame))) return std::nullopt;
    auto value = axText(platform, element, "AXValue");
    if (!value || !withinCharacters(*value, editorMaxCharacters)) return std::nullopt;
    return value;
}

}  // namespace quillgate
