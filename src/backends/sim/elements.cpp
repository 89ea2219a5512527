#include "backends/sim/elements.h"

#include <algorithm>
#include <limits>

#include "backends/sim/scene_values.h"
#include "backends/sim/workspace.h"

namespace quillgate::sim {

namespace {

class SimElement final : public ElementHandle {
public:
    explicit SimElement(ElementPlace place) : place(std::move(place)) {}
    ElementPlace place;
};

const Object emptyElement;

// An object holding exactly one of these keys with a value of the right type
// is a value, not an element.
enum class Form { element, point, size, ref, error };

Form formOf(const Object& object) {
    if (object.size() != 1) return Form::element;
    const auto& [key, value] = *object.begin();
    if ((key == "point" || key == "size") && pairFromArray(&value)) return key == "point" ? Form::point : Form::size;
    if (key == "ref" && value.isString()) return Form::ref;
    if (key == "error" && integer(&value)) return Form::error;
    return Form::element;
}

const Object* asElement(const Value& value) {
    const Object* object = value.asObject();
    return object && formOf(*object) == Form::element ? object : nullptr;
}

int32_t statusOf(const Value& code) {
    int64_t n = *integer(&code);
    return static_cast<int32_t>(
        std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

AxResult convert(const Value& scene, const Value& value, const ElementPlace& place) {
    if (value.isNull()) return {axstatus::noValue, {}};
    if (const Array* members = value.asArray()) {
        Array converted;
        for (size_t i = 0; i < members->size(); ++i) {
            AxResult member = convert(scene, (*members)[i], place.child(i));
            if (!member.ok()) return member;
            converted.push_back(std::move(member.value));
        }
        return {axstatus::success, std::move(converted)};
    }
    const Object* object = value.asObject();
    if (!object) return {axstatus::success, value};
    Form form = formOf(*object);
    if (form == Form::element) return {axstatus::success, makeElement(place)};
    // The value forms have exactly one member.
    const Value& inner = object->begin()->second;
    if (form == Form::point || form == Form::size) {
        auto [a, b] = *pairFromArray(&inner);
        return {axstatus::success, form == Form::point ? Value(Point{a, b}) : Value(Size{a, b})};
    }
    if (form == Form::error) return {statusOf(inner), {}};
    auto target = findById(scene, *inner.asString());
    if (!target) return {axstatus::noValue, {}};
    return {axstatus::success, makeElement(std::move(*target))};
}

bool isChildList(const ElementPlace::Step& step) {
    const std::string* key = std::get_if<std::string>(&step);
    return key && (*key == "children" || *key == "AXChildren");
}

// Attributes that the scene writes in shorthand: "frame", "children", and
// the parent of an element listed among children.
AxResult shorthand(const Value& scene, const Object& element, const ElementPlace& place, std::string_view name) {
    if (name == "AXPosition" || name == "AXSize") {
        auto frame = rectFromArray(member(element, "frame"));
        if (!frame) return {axstatus::noValue, {}};
        if (name == "AXPosition") return {axstatus::success, Point{frame->x, frame->y}};
        return {axstatus::success, Size{frame->width, frame->height}};
    }
    if (name == "AXChildren") {
        const Value* children = member(element, "children");
        if (children && children->isArray()) return convert(scene, *children, place.child("children"));
    }
    size_t depth = place.steps.size();
    if (name == "AXParent" && depth >= 2 && std::holds_alternative<size_t>(place.steps[depth - 1]) &&
        isChildList(place.steps[depth - 2])) {
        ElementPlace parent = place;
        parent.steps.resize(depth - 2);
        return {axstatus::success, makeElement(std::move(parent))};
    }
    return {axstatus::noValue, {}};
}

// The system-wide element answers for the frontmost application.
AxResult systemWideAttribute(const Value& scene, std::string_view name) {
    if (name == "AXRole") return {axstatus::success, "AXSystemWide"};
    auto front = frontmostPid(scene);
    if (!front) return {axstatus::noValue, {}};
    ElementPlace application{false, *front, {}};
    if (name == "AXFocusedApplication") return {axstatus::success, makeElement(application)};
    if (name == "AXFocusedUIElement") return readAttribute(scene, application, name);
    return {axstatus::noValue, {}};
}

bool visitValue(const Value& value, const ElementPlace& place, const ElementVisitor& visit) {
    if (const Object* element = asElement(value)) return visit(*element, place);
    if (const Array* members = value.asArray())
        for (size_t i = 0; i < members->size(); ++i)
            if (visitValue((*members)[i], place.child(i), visit)) return true;
    return false;
}

bool findIn(const Object& element, const ElementPlace& place, std::string_view id, ElementPlace& found) {
    const std::string* own = idOf(element);
    if (own && *own == id) {
        found = place;
        return true;
    }
    return forEachInside(element, place, [&](const Object& inner, const ElementPlace& innerPlace) {
        return findIn(inner, innerPlace, id, found);
    });
}

const Object& rootOf(const Object& app) {
    const Value* ax = member(app, "ax");
    const Object* root = ax ? asElement(*ax) : nullptr;
    return root ? *root : emptyElement;
}

}  // namespace

ElementPlace ElementPlace::child(Step step) const {
    ElementPlace inner = *this;
    inner.steps.push_back(std::move(step));
    return inner;
}

Element makeElement(ElementPlace place) { return std::make_shared<SimElement>(std::move(place)); }

const ElementPlace* placeOf(const Element& element) {
    auto* sim = dynamic_cast<const SimElement*>(element.get());
    return sim ? &sim->place : nullptr;
}

const Object* resolve(const Value& scene, const ElementPlace& place) {
    if (place.systemWide) return &emptyElement;
    const Object* app = appEntry(scene, place.pid);
    const Object* element = app ? &rootOf(*app) : &emptyElement;
    const Value* value = nullptr;
    for (const ElementPlace::Step& step : place.steps) {
        if (const std::string* key = std::get_if<std::string>(&step)) {
            value = value ? member(*value, *key) : member(*element, *key);
        } else {
            const Array* members = value ? value->asArray() : nullptr;
            size_t index = std::get<size_t>(step);
            value = members && index < members->size() ? &(*members)[index] : nullptr;
        }
        if (!value) return nullptr;
    }
    return value ? asElement(*value) : element;
}

AxResult readAttribute(const Value& scene, const ElementPlace& place, std::string_view name) {
    if (place.systemWide) return systemWideAttribute(scene, name);
    const Object* element = resolve(scene, place);
    if (!element) return {axstatus::invalidElement, {}};
    if (!name.starts_with("AX")) return {axstatus::noValue, {}};
    if (const Value* value = member(*element, name)) return convert(scene, *value, place.child(std::string(name)));
    return shorthand(scene, *element, place, name);
}

std::optional<ElementPlace> findById(const Value& scene, std::string_view id) {
    const Value* apps = member(scene, "apps");
    if (!apps || !apps->isArray()) return std::nullopt;
    ElementPlace found;
    for (const Value& app : *apps->asArray()) {
        auto appPid = pid(member(app, "pid"));
        if (!appPid || appEntry(scene, *appPid) != app.asObject()) continue;
        if (findIn(rootOf(*app.asObject()), ElementPlace{false, *appPid, {}}, id, found)) return found;
    }
    return std::nullopt;
}

bool forEachInside(const Object& element, const ElementPlace& place, const ElementVisitor& visit) {
    static constexpr std::string_view first[] = {"AXWindows", "AXChildren", "children"};
    for (std::string_view key : first)
        if (const Value* value = member(element, key);
            value && visitValue(*value, place.child(std::string(key)), visit))
            return true;
    for (const auto& [key, value] : element) {
        if (!key.starts_with("AX") || key == "AXParent" || std::find(std::begin(first), std::end(first), key) != std::end(first)) continue;
        if (visitValue(value, place.child(key), visit)) return true;
    }
    return false;
}

std::optional<Rect> frameOf(const Value& scene, const ElementPlace& place) {
    const AxResult position = readAttribute(scene, place, "AXPosition");
    const AxResult size = readAttribute(scene, place, "AXSize");
    const Point* origin = position.ok() ? position.value.asPoint() : nullptr;
    const Size* extent = size.ok() ? size.value.asSize() : nullptr;
    if (!origin || !extent) return std::nullopt;
    return Rect{origin->x, origin->y, extent->width, extent->height};
}

Value logName(const Value& scene, const ElementPlace& place) {
    const Object* element = place.systemWide ? nullptr : resolve(scene, place);
    if (!element) return nullptr;
    if (const std::string* id = idOf(*element)) return *id;
    if (const std::string* title = text(member(*element, "AXTitle"))) return *title;
    return nullptr;
}

const std::string* idOf(const Object& element) { return text(member(element, "id")); }

}  // namespace quillgate::sim
