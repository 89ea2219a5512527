#include "backends/x11/ax_reading.h"

#include "backends/x11/atspi_element.h"

namespace quillgate::x11 {

std::optional<AtspiRole> atspiRole(AtspiAccessible* accessible) {
    GError* error = nullptr;
    const AtspiRole role = atspi_accessible_get_role(accessible, &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return role;
}

std::optional<AxRole> axRole(AtspiAccessible* accessible) {
    const auto role = atspiRole(accessible);
    if (!role) return std::nullopt;
    gchar* roleName = atspi_role_get_name(*role);
    const std::string text = roleName ? roleName : "";
    g_free(roleName);
    return axRoleOf(text, hasState(accessible, ATSPI_STATE_MULTI_LINE));
}

std::optional<std::string> name(AtspiAccessible* accessible) {
    GError* error = nullptr;
    gchar* text = atspi_accessible_get_name(accessible, &error);
    return answeredText(text, error);
}

bool hasState(AtspiAccessible* accessible, AtspiStateType state) {
    Owned<AtspiStateSet> states(atspi_accessible_get_state_set(accessible));
    return states && atspi_state_set_contains(states.get(), state);
}

std::optional<Rect> extents(AtspiAccessible* accessible) {
    Owned<AtspiComponent> component(atspi_accessible_get_component_iface(accessible));
    if (!component) return std::nullopt;
    GError* error = nullptr;
    AtspiRect* rect = atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, &error);
    if (error) {
        g_error_free(error);
        g_free(rect);
        return std::nullopt;
    }
    if (!rect) return std::nullopt;
    std::optional<Rect> known;
    if (knownExtents(rect->x, rect->y, rect->width, rect->height)) known = Rect{
        static_cast<double>(rect->x), static_cast<double>(rect->y), static_cast<double>(rect->width),
        static_cast<double>(rect->height)};
    g_free(rect);
    return known;
}

std::optional<Accessibles> children(AtspiAccessible* accessible) {
    GError* error = nullptr;
    const gint count = atspi_accessible_get_child_count(accessible, &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    Accessibles found;
    for (gint i = 0; i < count; ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(accessible, i, &error);
        if (error) {
            g_error_free(error);
            if (child) g_object_unref(child);
            return std::nullopt;
        }
        if (child) found.emplace_back(child);
    }
    return found;
}

std::optional<Accessibles> windows(AtspiAccessible* application) {
    auto all = children(application);
    if (!all) return std::nullopt;
    Accessibles found;
    for (auto& child : *all) {
        const auto role = axRole(child.get());
        if (role && role->window) found.push_back(std::move(child));
    }
    return found;
}

Owned<AtspiAccessible> activeWindow(AtspiAccessible* application) {
    auto all = windows(application);
    if (!all) return nullptr;
    for (auto& window : *all) {
        if (hasState(window.get(), ATSPI_STATE_ACTIVE)) return std::move(window);
    }
    return nullptr;
}

namespace {

// The first element of the active window that a rule matches: one question
// to the application instead of a walk of its tree.
Owned<AtspiAccessible> firstMatch(AtspiAccessible* application, AtspiStateSet* states, GArray* roles) {
    auto window = activeWindow(application);
    if (!window) return nullptr;
    Owned<AtspiCollection> collection(atspi_accessible_get_collection_iface(window.get()));
    if (!collection) return nullptr;
    Owned<AtspiMatchRule> rule(atspi_match_rule_new(states, ATSPI_Collection_MATCH_ALL, nullptr,
                                                    ATSPI_Collection_MATCH_ALL, roles, ATSPI_Collection_MATCH_ANY,
                                                    nullptr, ATSPI_Collection_MATCH_ALL, FALSE));
    GError* error = nullptr;
    GArray* matches = atspi_collection_get_matches(collection.get(), rule.get(), ATSPI_Collection_SORT_ORDER_CANONICAL,
                                                   1, TRUE, &error);
    if (error) g_error_free(error);
    if (!matches) return nullptr;
    Owned<AtspiAccessible> first;
    if (matches->len > 0) first.reset(g_array_index(matches, AtspiAccessible*, 0));
    for (guint i = 1; i < matches->len; ++i) g_object_unref(g_array_index(matches, AtspiAccessible*, i));
    g_array_free(matches, TRUE);
    return first;
}

}  // namespace

Owned<AtspiAccessible> focusedElement(AtspiAccessible* application) {
    GArray* wanted = g_array_new(FALSE, FALSE, sizeof(AtspiStateType));
    const AtspiStateType focused = ATSPI_STATE_FOCUSED;
    g_array_append_val(wanted, focused);
    Owned<AtspiStateSet> states(atspi_state_set_new(wanted));
    g_array_free(wanted, TRUE);
    return firstMatch(application, states.get(), nullptr);
}

Owned<AtspiAccessible> menuBar(AtspiAccessible* application) {
    GArray* roles = g_array_new(FALSE, FALSE, sizeof(AtspiRole));
    const AtspiRole bar = ATSPI_ROLE_MENU_BAR;
    g_array_append_val(roles, bar);
    auto found = firstMatch(application, nullptr, roles);
    g_array_free(roles, TRUE);
    return found;
}

}  // namespace quillgate::x11
