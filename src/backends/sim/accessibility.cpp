// The accessibility calls of the simulated desktop.
#include <climits>
#include <cmath>
#include <optional>

#include "backends/sim/sim_platform.h"
#include "backends/sim/elements.h"
#include "backends/sim/event_log.h"
#include "backends/sim/hit_test.h"
#include "backends/sim/permissions.h"
#include "backends/sim/scene_values.h"

namespace quillgate::sim {

namespace {

// An action's entry in the scene: false is the plain failure, an integer the
// status the action fails with (-25204: the application did not answer in
// time); anything else, or no entry, succeeds.
int32_t actionStatus(const Value* entry) {
    if (boolean(entry) == false) return axstatus::failure;
    const std::optional<int64_t> code = integer(entry);
    if (code && *code >= INT32_MIN && *code <= INT32_MAX) return static_cast<int32_t>(*code);
    return axstatus::success;
}

}  // namespace

bool SimPlatform::accessibilityTrusted(bool prompt) {
    std::lock_guard lock(mutex_);
    double now = advance();
    bool trusted = sim::accessibilityTrusted(scene_);
    if (prompt && !trusted) log_.append(now, "prompt", {{"kind", "accessibility"}});
    return trusted;
}

Element SimPlatform::applicationElement(int32_t pid) { return makeElement(ElementPlace{false, pid, {}}); }

Element SimPlatform::systemWideElement() { return makeElement(ElementPlace{true, 0, {}}); }

AxResult SimPlatform::copyAttribute(const Element& element, const std::string& attribute) {
    const ElementPlace* place = placeOf(element);
    if (!place) return {axstatus::illegalArgument, {}};
    std::lock_guard lock(mutex_);
    advance();
    return readAttribute(scene_, *place, attribute);
}

int32_t SimPlatform::setAttribute(const Element& element, const std::string& attribute, const Value& value) {
    const ElementPlace* place = placeOf(element);
    if (!place) return axstatus::illegalArgument;
    std::lock_guard lock(mutex_);
    double now = advance();
    auto nameOf = [this](const Element& other) {
        const ElementPlace* otherPlace = placeOf(other);
        return otherPlace ? logName(scene_, *otherPlace) : Value();
    };
    log_.append(now, "set",
                {{"attribute", attribute}, {"value", loggable(value, nameOf)}, {"element", logName(scene_, *place)}});
    return axstatus::success;
}

int32_t SimPlatform::performAction(const Element& element, const std::string& action) {
    const ElementPlace* place = placeOf(element);
    if (!place) return axstatus::illegalArgument;
    std::lock_guard lock(mutex_);
    double now = advance();
    const Object* target = place->systemWide ? nullptr : resolve(scene_, *place);
    int32_t status = axstatus::success;
    if (place->systemWide) {
        status = axstatus::actionUnsupported;
    } else if (!target) {
        status = axstatus::invalidElement;
    } else if (const Value* actions = member(*target, "actions")) {
        status = actionStatus(member(*actions, action));
    }
    log_.append(now, "action",
                {{"action", action}, {"element", logName(scene_, *place)}, {"ok", status == axstatus::success}});
    if (status == axstatus::success) {
        const std::string* id = idOf(*target);
        script_.happened(Object{{"action", action}, {"element", id ? Value(*id) : Value()}}, now);
    }
    return status;
}

AxResult SimPlatform::elementAtPosition(const Element& element, Point point) {
    if (!placeOf(element) || !std::isfinite(point.x) || !std::isfinite(point.y)) return {axstatus::illegalArgument, {}};
    std::lock_guard lock(mutex_);
    advance();
    auto owner = hitPid(scene_, point);
    if (!owner) return {axstatus::noValue, {}};
    return {axstatus::success, makeElement(elementAt(scene_, *owner, point))};
}

std::optional<int32_t> SimPlatform::pidOfElement(const Element& element) {
    const ElementPlace* place = placeOf(element);
    if (!place || place->systemWide) return std::nullopt;
    return place->pid;
}

bool SimPlatform::elementsEqual(const Element& a, const Element& b) {
    const ElementPlace* left = placeOf(a);
    const ElementPlace* right = placeOf(b);
    return left && right && *left == *right;
}

}  // namespace quillgate::sim
