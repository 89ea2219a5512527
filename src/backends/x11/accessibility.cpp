// The accessibility interface over AT-SPI: trust, elements, hit tests,
// actions. Attribute reads are in ax_attributes.cpp.
#include <cmath>
#include <cstring>

#include "backends/x11/a11y_bus.h"
#include "backends/x11/atspi_element.h"
#include "backends/x11/ax_reading.h"
#include "backends/x11/ax_scale.h"
#include "backends/x11/connection.h"
#include "backends/x11/proc.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

namespace {

// A window's title and frame origin tell it from its siblings; the tolerance
// is the one the core uses to match windows.
constexpr double originTolerance = 3;
// Nested containers are rarely this deep; a cycle in a broken tree ends here.
constexpr int hitDepth = 64;
constexpr double clickSettle = 0.05;

bool contains(const Rect& rect, Point point) {
    return point.x >= rect.x && point.y >= rect.y && point.x < rect.x + rect.width && point.y < rect.y + rect.height;
}

// The deepest descendant at a point, starting from an element that holds it.
Owned<AtspiAccessible> deepestAt(AtspiAccessible* start, Point point) {
    Owned<AtspiAccessible> current(static_cast<AtspiAccessible*>(g_object_ref(start)));
    for (int depth = 0; depth < hitDepth; ++depth) {
        Owned<AtspiComponent> component(atspi_accessible_get_component_iface(current.get()));
        if (!component) break;
        GError* error = nullptr;
        AtspiAccessible* child = atspi_component_get_accessible_at_point(
            component.get(), static_cast<gint>(std::floor(point.x)), static_cast<gint>(std::floor(point.y)),
            ATSPI_COORD_TYPE_SCREEN, &error);
        if (error) g_error_free(error);
        if (!child || child == current.get()) {
            if (child) g_object_unref(child);
            break;
        }
        current.reset(child);
    }
    return current;
}

// The application's window under a point (in its accessibility pixels):
// the active one first, as it is in front of its siblings.
Owned<AtspiAccessible> windowAt(AtspiAccessible* application, Point point) {
    Owned<AtspiAccessible> found;
    auto all = windows(application);
    if (!all) return nullptr;
    for (auto& window : *all) {
        if (hasState(window.get(), ATSPI_STATE_ICONIFIED) || !hasState(window.get(), ATSPI_STATE_SHOWING)) continue;
        const auto rect = extents(window.get());
        if (!rect || !contains(*rect, point)) continue;
        if (hasState(window.get(), ATSPI_STATE_ACTIVE)) return std::move(window);
        if (!found) found = std::move(window);
    }
    return found;
}

// The owner of the front on-screen window at a point, as the window server
// would route a click there; absent when no window is there or it has no pid.
std::optional<int32_t> frontOwnerAt(const Connection& x, Point point) {
    for (const StackedWindow& window : stackedWindows(x, true)) {
        if (contains(frameOf(window.facts.client, window.facts.extents), point)) return window.facts.pid;
    }
    return std::nullopt;
}

AxResult elementResult(Owned<AtspiAccessible> accessible) {
    if (!accessible) return AxResult{axstatus::noValue, nullptr};
    return AxResult{axstatus::success, adoptAccessible(accessible.release())};
}

bool sameObject(AtspiAccessible* a, AtspiAccessible* b) {
    if (a == b) return true;
    const auto* first = ATSPI_OBJECT(a);
    const auto* second = ATSPI_OBJECT(b);
    if (!first->app || !second->app || !first->app->bus_name || !second->app->bus_name || !first->path ||
        !second->path) {
        return false;
    }
    return std::strcmp(first->app->bus_name, second->app->bus_name) == 0 &&
           std::strcmp(first->path, second->path) == 0;
}

}  // namespace

bool X11Platform::accessibilityTrusted(bool prompt) {
    return prompt ? a11y_->trustedEnabling() : a11y_->trusted();
}

Element X11Platform::resolvedApplication(int32_t pid) {
    if (held() || !a11y_->usable())
        return std::make_shared<const AtspiElement>(ElementKind::application, nullptr, pid);
    Owned<AtspiAccessible> desktop(atspi_get_desktop(0));
    auto applications = children(desktop.get());
    if (!applications) return std::make_shared<const AtspiElement>(ElementKind::application, nullptr, pid);
    for (auto& application : *applications) {
        GError* error = nullptr;
        const guint owner = atspi_accessible_get_process_id(application.get(), &error);
        if (error) {
            g_error_free(error);
            continue;
        }
        if (static_cast<int32_t>(owner) == pid)
            return std::make_shared<const AtspiElement>(ElementKind::application, application.release(), pid);
    }
    return std::make_shared<const AtspiElement>(ElementKind::application, nullptr, pid);
}

Element X11Platform::applicationElement(int32_t pid) { return resolvedApplication(pid); }

Element X11Platform::systemWideElement() {
    return std::make_shared<const AtspiElement>(ElementKind::systemWide, nullptr, std::nullopt);
}

AxResult X11Platform::elementAtPosition(const Element& element, Point point) {
    const AtspiElement* handle = atspiElement(element);
    if (!handle) return AxResult{axstatus::failure, nullptr};
    if (handle->kind == ElementKind::systemWide) {
        // The window in front at the point decides the application.
        const auto owner = frontOwnerAt(*x_, point);
        if (!owner) return AxResult{axstatus::noValue, nullptr};
        return elementAtPosition(applicationElement(*owner), point);
    }
    if (!handle->accessible || held()) return AxResult{axstatus::cannotComplete, nullptr};
    // The application answers in its own pixels.
    const double scale = scales_->of(*x_, handle->accessible);
    const Point asked{point.x / scale, point.y / scale};
    if (handle->kind == ElementKind::application) {
        auto window = windowAt(handle->accessible, asked);
        if (!window) return AxResult{axstatus::noValue, nullptr};
        return elementResult(deepestAt(window.get(), asked));
    }
    return elementResult(deepestAt(handle->accessible, asked));
}

std::optional<int32_t> X11Platform::pidOfElement(const Element& element) {
    const AtspiElement* handle = atspiElement(element);
    if (!handle) return std::nullopt;
    if (handle->pid) return handle->pid;
    if (!handle->accessible) return std::nullopt;
    GError* error = nullptr;
    const guint pid = atspi_accessible_get_process_id(handle->accessible, &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return static_cast<int32_t>(pid);
}

bool X11Platform::elementsEqual(const Element& a, const Element& b) {
    const AtspiElement* first = atspiElement(a);
    const AtspiElement* second = atspiElement(b);
    if (!first || !second) return false;
    if (first->kind == ElementKind::systemWide || second->kind == ElementKind::systemWide)
        return first->kind == second->kind;
    if (!first->accessible || !second->accessible) return false;
    return sameObject(first->accessible, second->accessible);
}

std::optional<uint32_t> X11Platform::clientOf(const Element& window) {
    const AtspiElement* handle = atspiElement(window);
    const auto pid = pidOfElement(window);
    if (!handle || !handle->accessible || !pid) return std::nullopt;
    const auto title = name(handle->accessible);
    const auto rect = scaledExtents(handle->accessible, scales_->of(*x_, handle->accessible));
    std::optional<uint32_t> titled;
    for (const StackedWindow& candidate : windowsOf(*pid)) {
        if (candidate.facts.title != title) continue;
        const Rect frame = frameOf(candidate.facts.client, candidate.facts.extents);
        if (rect && std::fabs(frame.x - rect->x) < originTolerance && std::fabs(frame.y - rect->y) < originTolerance)
            return candidate.facts.id;
        if (!titled) titled = candidate.facts.id;
    }
    return titled;
}

int32_t X11Platform::raise(const Element& window) {
    const auto client = clientOf(window);
    if (!client) return axstatus::cannotComplete;
    // Activation raises the window too, and de-iconifies it.
    requestActivation(*client);
    return axstatus::success;
}

std::optional<X11Platform::ClickTarget> X11Platform::clickPoint(const Element& element) {
    const AtspiElement* handle = atspiElement(element);
    const auto role = axRole(handle->accessible);
    if (!role || !pressedByClick(role->role)) return std::nullopt;
    const auto rect = scaledExtents(handle->accessible, scales_->of(*x_, handle->accessible));
    if (!rect || rect->width < 1 || rect->height < 1) return std::nullopt;
    const Point centre{std::floor(rect->x + rect->width / 2), std::floor(rect->y + rect->height / 2)};
    const auto pid = pidOfElement(element);
    if (!pid || frontOwnerAt(*x_, centre) != pid) return std::nullopt;
    return ClickTarget{centre, *pid};
}

bool X11Platform::stillClickable(const ClickTarget& target) {
    if (!launchDate(target.pid) || frontOwnerAt(*x_, target.centre) != target.pid) return false;
    for (uint32_t button = 0; button < 3; ++button) {
        if (buttonDown(EventSourceState::combinedSession, button)) return false;
    }
    return !pointerGrabbed();
}

int32_t X11Platform::pressByClick(const ClickTarget& target) {
    const auto before = pointerLocation();
    // The toolkit takes a press as a click only once the pointer has entered
    // the control, which it learns from the move, so the move comes first and
    // is given time to arrive; so is the release before the pointer leaves.
    post(MouseEvent{mouse::moved, target.centre, mouse::leftButton, std::nullopt});
    sleep(clickSettle);
    bool clickable = false;
    {
        // Nothing can come to the front between the last look and the click.
        const Hold hold = holdDesktop();
        clickable = stillClickable(target);
        if (clickable) {
            post(MouseEvent{mouse::leftDown, target.centre, mouse::leftButton, 1});
            post(MouseEvent{mouse::leftUp, target.centre, mouse::leftButton, 1});
        }
    }
    if (clickable) sleep(clickSettle);
    // The user's pointer goes back where it was.
    if (before) post(MouseEvent{mouse::moved, *before, mouse::leftButton, std::nullopt});
    if (clickable) return axstatus::success;
    return launchDate(target.pid) ? axstatus::failure : axstatus::invalidElement;
}

int32_t X11Platform::setAttribute(const Element& element, const std::string& attribute, const Value& value) {
    const bool* flag = value.asBool();
    if (attribute != "AXMinimized" || !flag || *flag) return axstatus::attributeUnsupported;
    const auto client = clientOf(element);
    if (!client) return axstatus::cannotComplete;
    restore(*client);
    return axstatus::success;
}

int32_t X11Platform::performAction(const Element& element, const std::string& action) {
    const AtspiElement* handle = atspiElement(element);
    if (!handle || !handle->accessible) return axstatus::cannotComplete;
    if (action == "AXRaise") {
        const auto role = axRole(handle->accessible);
        if (!role || !role->window) return axstatus::actionUnsupported;
        return raise(element);
    }
    if (action != "AXPress") return axstatus::actionUnsupported;
    if (auto target = clickPoint(element)) return pressByClick(*target);
    Owned<AtspiAction> actions(atspi_accessible_get_action_iface(handle->accessible));
    if (!actions) return axstatus::actionUnsupported;
    GError* error = nullptr;
    const gint count = atspi_action_get_n_actions(actions.get(), &error);
    if (error) return axStatus(error);
    std::vector<std::string> names;
    for (gint i = 0; i < count; ++i) {
        gchar* text = atspi_action_get_action_name(actions.get(), i, &error);
        auto actionName = answeredText(text, error);
        if (!actionName) return axstatus::cannotComplete;
        names.push_back(std::move(*actionName));
    }
    const auto index = pressAction(names);
    if (!index) return axstatus::actionUnsupported;
    atspi_action_do_action(actions.get(), *index, &error);
    return axStatus(error);
}

}  // namespace quillgate::x11
