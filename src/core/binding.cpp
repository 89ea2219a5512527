#include "core/binding.h"

#include "core/values.h"

namespace quillgate {

GuardRegion guardRegion(const Object& region) {
    auto side = [&](std::string_view key) { return number(member(region, key)); };
    return GuardRegion{side("x"), side("y"), side("width"), side("height")};
}

Binding binding(const Object& bound) {
    Binding b{
        .hwnd = text(member(bound, "hwnd")),
        .pid = number(member(bound, "pid")),
        .process = text(member(bound, "process")),
        .processStart = text(member(bound, "processStart")),
        .title = text(member(bound, "title")),
        .width = number(member(bound, "width")),
        .height = number(member(bound, "height")),
    };
    if (const Object* guard = objectAt(bound, "guard"))
        b.guard = Guard{guardRegion(*guard), text(member(*guard, "hash"))};
    return b;
}

}  // namespace quillgate
