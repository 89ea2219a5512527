#include "service/gates.h"

#include <array>
#include <string_view>

#include "capture/capture_operations.h"
#include "capture/guard.h"
#include "core/failure.h"
#include "core/operation.h"
#include "input/execute_operations.h"
#include "popups/popup_operations.h"
#include "reading/text_operations.h"
#include "windows/activate_operations.h"
#include "windows/pointer_operations.h"
#include "windows/verification.h"

namespace quillgate {

namespace {

constexpr std::array<Route<GatedHandler>, 3> popupOperations{{
    {"popup", popupOperation},
    {"popup-close", popupCloseOperation},
    {"popup-press", popupPressOperation},
}};

// Matched in this order, only after the guard has passed.
constexpr std::array<Route<GatedHandler>, 8> guardedOperations{{
    {"check", checkOperation},
    {"capture", captureOperation},
    {"capture-input", captureOperation},
    {"bind-region", bindRegionOperation},
    {"ax-text", axTextOperation},
    {"composer-text", composerTextOperation},
    {"pointer", pointerOperation},
    {"execute", executeOperation},
}};

constexpr std::string_view activateName = "activate";

Object runWith(const Route<GatedHandler>* op, Context& context, const Object& request, const Binding& bound,
               const Window& window) {
    if (!op) reject(msg::unsupportedOperation);
    return op->handler(GatedCall{{{context, request}, bound}, window});
}

}  // namespace

Object gated(Context& context, const std::string& name, const Object& request, const Binding& bound) {
    Platform& platform = *context.platform;
    // Activation verifies the binding itself, before and after raising the window.
    if (name == activateName) return activateOperation(BoundCall{{context, request}, bound});
    if (const auto* op = findRoute(popupOperations, name)) {
        const Window w = current(platform, bound, false);
        return runWith(op, context, request, bound, w);
    }
    // The guard runs before the name is known to be valid.
    const Window w = check(context, bound, name == "execute");
    return runWith(findRoute(guardedOperations, name), context, request, bound, w);
}

std::vector<std::string_view> gatedOperationNames() {
    std::vector<std::string_view> names{activateName};
    for (const auto& route : popupOperations) names.push_back(route.name);
    for (const auto& route : guardedOperations) names.push_back(route.name);
    return names;
}

}  // namespace quillgate
