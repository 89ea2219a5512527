// RequestService::run: selects the operation by name, requires the binding where one is
// needed and passes gated operations through their gate.

#include <array>
#include <string_view>

#include "core/binding.h"
#include "core/failure.h"
#include "core/trace.h"
#include "core/values.h"
#include "input/input_operations.h"
#include "input/self_test_operations.h"
#include "popups/menu_operations.h"
#include "service/gates.h"
#include "service/request_service.h"
#include "service/status_operations.h"

namespace quillgate {

namespace {

// Matched first, in this order; none needs a binding.
constexpr std::array<Route<Handler>, 10> ungated{{
    {"permissions", permissionsOperation},
    {"self-test", selfTestOperation},
    {"input-idle", inputIdleOperation},
    {"dismiss-menu", dismissMenuOperation},
    {"release-keys", releaseKeysOperation},
    {"show-chats", showChatsOperation},
    {"reopen-app", reopenAppOperation},
    {"list", listOperation},
    {"probe", probeOperation},
    {"inspect", inspectOperation},
}};

std::string operationName(const Object& request) {
    if (const Value* v = member(request, "operation")) return text(v);
    return text(member(request, "op"));
}

// The routes' own spelling of a name they run; empty for any other text.
std::string_view routedName(std::string_view name) {
    static const std::vector<std::string_view> names = RequestService::operationNames();
    for (std::string_view routed : names) {
        if (routed == name) return routed;
    }
    return {};
}

}  // namespace

Object RequestService::run(const Object& request) {
    const std::string name = operationName(request);
    if (RequestTrace* trace = activeTrace()) trace->operation(routedName(name));
    Object response;
    if (const auto* op = findRoute(ungated, name)) {
        response = op->handler(Call{context_, request});
    } else {
        const Object* bound = objectAt(request, "bound");
        if (!bound) reject(msg::bindingRequired);
        // The binding is read here once; everything behind the gate takes the record.
        response = gated(context_, name, request, binding(*bound));
    }
    response.insert_or_assign("ok", true);
    return response;
}

std::vector<std::string_view> RequestService::operationNames() {
    std::vector<std::string_view> names;
    for (const auto& route : ungated) names.push_back(route.name);
    for (std::string_view name : gatedOperationNames()) names.push_back(name);
    return names;
}

}  // namespace quillgate
