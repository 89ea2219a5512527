#pragma once
// Accessibility elements of the scene. An element is a JSON object inside an
// application's "ax" tree and is known by its place there: the application's
// pid and the keys and indices leading from "ax" to it. Handles hold only that
// place and read the scene afresh, so a patch shows in the next read, an
// element that a patch removed reads as invalid, and two handles are the same
// element exactly when their places are equal (a {"ref"} resolves to the
// place of the element it names).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace quillgate::sim {

struct ElementPlace {
    using Step = std::variant<std::string, size_t>;
    bool systemWide = false;
    int32_t pid = 0;
    std::vector<Step> steps;

    ElementPlace child(Step step) const;
    bool operator==(const ElementPlace&) const = default;
};

Element makeElement(ElementPlace place);
// The place of an element handle of this desktop; null for any other handle.
const ElementPlace* placeOf(const Element& element);

// The element object at a place now; null when the scene no longer has it.
// An application without "ax" (or without an entry) has an empty element.
const Object* resolve(const Value& scene, const ElementPlace& place);

// Reads an attribute as the accessibility API would answer it.
AxResult readAttribute(const Value& scene, const ElementPlace& place, std::string_view name);

// The place of the element whose "id" is `id`: the first in the order of
// "apps" and, within a tree, depth first in the order of forEachInside.
std::optional<ElementPlace> findById(const Value& scene, std::string_view id);

// The elements directly inside an element: "AXWindows", then "AXChildren" and
// "children", then the other attributes in key order (not "AXParent"), array
// members in order. The visitor returns true to stop.
using ElementVisitor = std::function<bool(const Object& element, const ElementPlace& place)>;
bool forEachInside(const Object& element, const ElementPlace& place, const ElementVisitor& visit);

// The element's frame as its AXPosition and AXSize read (written out, else
// from "frame"); nothing when either is not a point or a size.
std::optional<Rect> frameOf(const Value& scene, const ElementPlace& place);

// How the event log names an element: its "id", else its AXTitle, else null.
Value logName(const Value& scene, const ElementPlace& place);
const std::string* idOf(const Object& element);

}  // namespace quillgate::sim
