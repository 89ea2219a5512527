#include "backends/x11/atspi_element.h"

#include <memory>

namespace quillgate::x11 {

const AtspiElement* atspiElement(const Element& element) { return dynamic_cast<const AtspiElement*>(element.get()); }

Element adoptAccessible(AtspiAccessible* owned) {
    if (!owned) return nullptr;
    GError* error = nullptr;
    const AtspiRole role = atspi_accessible_get_role(owned, &error);
    g_clear_error(&error);
    const ElementKind kind = role == ATSPI_ROLE_APPLICATION ? ElementKind::application : ElementKind::node;
    return std::make_shared<const AtspiElement>(kind, owned, std::nullopt);
}

Element shareAccessible(AtspiAccessible* accessible) {
    return adoptAccessible(accessible ? static_cast<AtspiAccessible*>(g_object_ref(accessible)) : nullptr);
}

int32_t axStatus(GError* error) {
    if (!error) return axstatus::success;
    g_error_free(error);
    return axstatus::cannotComplete;
}

std::optional<std::string> answeredText(gchar* text, GError* error) {
    std::optional<std::string> answer;
    if (!error) answer = text ? text : "";
    if (error) g_error_free(error);
    g_free(text);
    return answer;
}

}  // namespace quillgate::x11
