// Accessibility attributes, each read from AT-SPI the way the core reads it
// on the Mac: AXRole and AXSubrole from the role, the three texts from the
// name, the description or the text itself (never a password's), AXPosition
// and AXSize from the screen extents in device pixels, the tree from children
// and parents.
#include <map>

#include "backends/x11/atspi_element.h"
#include "backends/x11/ax_reading.h"
#include "backends/x11/ax_scale.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

namespace {

AxResult found(Value value) { return AxResult{axstatus::success, std::move(value)}; }
AxResult noValue() { return AxResult{axstatus::noValue, nullptr}; }
AxResult unsupported() { return AxResult{axstatus::attributeUnsupported, nullptr}; }

AxResult nonEmpty(const std::optional<std::string>& text) {
    if (!text || text->empty()) return noValue();
    return found(*text);
}

AxResult element(Owned<AtspiAccessible> accessible) {
    if (!accessible) return noValue();
    return found(adoptAccessible(accessible.release()));
}

AxResult elements(std::optional<Accessibles> accessibles) {
    if (!accessibles) return AxResult{axstatus::cannotComplete, nullptr};
    Array items;
    items.reserve(accessibles->size());
    for (auto& accessible : *accessibles) items.emplace_back(adoptAccessible(accessible.release()));
    return found(std::move(items));
}

std::optional<std::string> description(AtspiAccessible* accessible) {
    GError* error = nullptr;
    gchar* text = atspi_accessible_get_description(accessible, &error);
    return answeredText(text, error);
}

std::optional<std::string> textContent(AtspiAccessible* accessible) {
    Owned<AtspiText> text(atspi_accessible_get_text_iface(accessible));
    if (!text) return std::nullopt;
    GError* error = nullptr;
    gchar* content = atspi_text_get_text(text.get(), 0, -1, &error);
    return answeredText(content, error);
}

// Toggles read as 1 or 0, ranges as their current value.
AxResult controlValue(AtspiAccessible* accessible, const AxRole& role) {
    if (role.role == "AXCheckBox" || role.role == "AXRadioButton") {
        return found(hasState(accessible, ATSPI_STATE_CHECKED) ? 1 : 0);
    }
    Owned<AtspiValue> value(atspi_accessible_get_value_iface(accessible));
    if (!value) return noValue();
    GError* error = nullptr;
    const double current = atspi_value_get_current_value(value.get(), &error);
    if (error) return AxResult{axStatus(error), nullptr};
    return found(current);
}

AxResult textAttribute(AtspiAccessible* accessible, const AxRole& role, const std::string& attribute) {
    if (attribute == "AXTitle") return role.text == TextSource::title ? nonEmpty(name(accessible)) : noValue();
    if (attribute == "AXValue") {
        switch (role.text) {
            case TextSource::secure:
                return noValue();
            case TextSource::content:
                return nonEmpty(textContent(accessible));
            case TextSource::label: {
                auto label = name(accessible);
                return nonEmpty(label && !label->empty() ? label : textContent(accessible));
            }
            case TextSource::title:
                return controlValue(accessible, role);
        }
    }
    // AXDescription: an editable field's name is its label, which the Mac
    // reports as the description.
    auto text = description(accessible);
    if ((!text || text->empty()) && (role.text == TextSource::content || role.text == TextSource::secure))
        text = name(accessible);
    return nonEmpty(text);
}

// The top-level window holding an element: its ancestor whose parent is the
// application.
Owned<AtspiAccessible> windowOf(AtspiAccessible* accessible) {
    Owned<AtspiAccessible> current(static_cast<AtspiAccessible*>(g_object_ref(accessible)));
    for (int depth = 0; depth < 256; ++depth) {
        GError* error = nullptr;
        Owned<AtspiAccessible> parent(atspi_accessible_get_parent(current.get(), &error));
        if (error) g_error_free(error);
        if (!parent) return nullptr;
        if (atspiRole(parent.get()) == ATSPI_ROLE_APPLICATION) {
            const auto role = axRole(current.get());
            return role && role->window ? std::move(current) : nullptr;
        }
        current = std::move(parent);
    }
    return nullptr;
}

AxResult applicationAttribute(AtspiAccessible* application, const std::string& attribute) {
    if (attribute == "AXRole") return found("AXApplication");
    if (attribute == "AXTitle") return nonEmpty(name(application));
    if (attribute == "AXWindows" || attribute == "AXChildren") return elements(windows(application));
    if (attribute == "AXFocusedWindow" || attribute == "AXMainWindow") return element(activeWindow(application));
    if (attribute == "AXFocusedUIElement") return element(focusedElement(application));
    if (attribute == "AXMenuBar") return element(menuBar(application));
    if (attribute == "AXEnabled") return found(true);
    return unsupported();
}

AxResult nodeAttribute(AtspiAccessible* accessible, const std::string& attribute) {
    const auto role = axRole(accessible);
    if (!role) return AxResult{axstatus::cannotComplete, nullptr};
    if (attribute == "AXRole") return found(std::string(role->role));
    if (attribute == "AXSubrole") return role->subrole.empty() ? noValue() : found(std::string(role->subrole));
    if (attribute == "AXTitle" || attribute == "AXValue" || attribute == "AXDescription")
        return textAttribute(accessible, *role, attribute);
    if (attribute == "AXChildren") return elements(children(accessible));
    if (attribute == "AXParent") {
        GError* error = nullptr;
        Owned<AtspiAccessible> parent(atspi_accessible_get_parent(accessible, &error));
        if (error) return AxResult{axStatus(error), nullptr};
        return element(std::move(parent));
    }
    if (attribute == "AXWindow") return role->window ? unsupported() : element(windowOf(accessible));
    if (attribute == "AXEnabled")
        return found(hasState(accessible, ATSPI_STATE_ENABLED) || hasState(accessible, ATSPI_STATE_SENSITIVE));
    if (attribute == "AXFocused") return found(hasState(accessible, ATSPI_STATE_FOCUSED));
    if (role->window) {
        if (attribute == "AXMinimized") return found(hasState(accessible, ATSPI_STATE_ICONIFIED));
        if (attribute == "AXMain") return found(hasState(accessible, ATSPI_STATE_ACTIVE));
    }
    if (attribute == "AXRoleDescription" || attribute == "AXIdentifier") {
        GError* error = nullptr;
        gchar* text = attribute == "AXIdentifier" ? atspi_accessible_get_accessible_id(accessible, &error)
                                                  : atspi_accessible_get_localized_role_name(accessible, &error);
        return nonEmpty(answeredText(text, error));
    }
    return unsupported();
}

}  // namespace

AxResult X11Platform::copyAttribute(const Element& element, const std::string& attribute) {
    const AtspiElement* handle = atspiElement(element);
    if (!handle) return AxResult{axstatus::failure, nullptr};
    if (handle->kind == ElementKind::systemWide) {
        if (attribute == "AXRole") return found("AXSystemWide");
        const auto front = frontmostApplication();
        if (!front) return noValue();
        if (attribute == "AXFocusedApplication") return found(applicationElement(front->pid));
        if (attribute == "AXFocusedUIElement") return copyAttribute(applicationElement(front->pid), attribute);
        return unsupported();
    }
    if (!handle->accessible || held()) return AxResult{axstatus::cannotComplete, nullptr};
    if (handle->kind == ElementKind::application) return applicationAttribute(handle->accessible, attribute);
    if (attribute == "AXPosition" || attribute == "AXSize") {
        // In the window list's pixels, whatever the application's scale.
        const auto rect = scaledExtents(handle->accessible, scales_->of(*x_, handle->accessible));
        if (!rect) return noValue();
        if (attribute == "AXPosition") return found(Point{rect->x, rect->y});
        return found(Size{rect->width, rect->height});
    }
    return nodeAttribute(handle->accessible, attribute);
}

}  // namespace quillgate::x11
