#include "windows/pointer_operations.h"

#include <cmath>

#include "core/values.h"
#include "windows/pointer.h"

namespace quillgate {
namespace {

double whole(double value) { return std::trunc(value) + 0.0; }  // + 0.0 turns -0 into 0

}  // namespace

Object pointerOperation(const GatedCall& call) {
    const Point target =
        normalizedPoint(call.platform(), call.window, member(call.request, "x"), member(call.request, "y"), false);
    const Point at = call.platform().pointerLocation().value_or(Point{});
    return Object{{"pointer", Object{{"x", whole(at.x)},
                                     {"y", whole(at.y)},
                                     {"targetX", whole(target.x)},
                                     {"targetY", whole(target.y)},
                                     {"inside", true}}}};
}

}  // namespace quillgate
