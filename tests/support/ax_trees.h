#pragma once
// Accessibility trees for the walker and popup tests, built in code where a
// scene file would be thousands of lines: long chains and wide fans.

#include <string>
#include <utility>

#include "platform/value.h"
#include "support/scenes.h"

namespace quillgate::testing {

// An element with these attributes and children.
inline Value node(Object attributes, Array children = {}) {
    if (!children.empty()) attributes["children"] = std::move(children);
    return attributes;
}

// `levels` nested elements, each the only child of the one before, made by
// `make(depth)` with depth counted from 1; the deepest holds `leaf` if given.
template <typename Make>
Array chain(int levels, Make make, Value leaf = nullptr) {
    Array below;
    if (!leaf.isNull()) below.push_back(std::move(leaf));
    for (int depth = levels; depth >= 1; --depth) {
        Value element = make(depth);
        if (!below.empty()) element.asObject()->insert_or_assign("children", std::move(below));
        below = Array{std::move(element)};
    }
    return below;
}

// `count` siblings made by `make(index)`.
template <typename Make>
Array fan(int count, Make make) {
    Array list;
    list.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) list.push_back(make(i));
    return list;
}

// A frame attribute value.
inline Value frame(double x, double y, double w, double h) { return Array{x, y, w, h}; }

// The chat window's accessibility window (at its window-list frame) with
// these children, as the only window of app 501 in chatScene().
inline Object chatSceneWithTree(Array children, Value windowFrame = frame(100, 50, 900, 600)) {
    Object scene = chatScene();
    Value main = node(Object{{"id", "main"}, {"AXRole", "AXWindow"}, {"AXTitle", "Chat"}, {"frame", windowFrame}},
                      std::move(children));
    Value& ax = at(at(scene["apps"], 0), "ax");
    at(ax, "AXWindows") = Array{std::move(main)};
    return scene;
}

}  // namespace quillgate::testing
