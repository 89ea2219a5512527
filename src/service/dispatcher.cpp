// Main::run: selects the operation by name, requires the binding where one is
// needed and passes gated operations through their gate.

#include <array>
#include <string_view>

#include "popups/menu_operations.h"
#include "popups/self_test.h"
#include "service/failure.h"
#include "service/gates.h"
#include "service/input_operations.h"
#include "service/main.h"
#include "service/status_operations.h"
#include "service/values.h"

namespace quillgate {

namespace {

struct Ungated {
    std::string_view name;
    Handler handler;  // null until the operation exists on this platform
};

// Matched first, in this order; none needs a binding.
constexpr std::array<Ungated, 10> ungated{{
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

}  // namespace

Object Main::run(const Object& request) {
    const std::string name = operationName(request);
    Object response;
    bool matched = false;
    for (const Ungated& op : ungated) {
        if (op.name != name) continue;
        if (!op.handler) reject(msg::unsupportedOperation);
        response = op.handler(Call{context_, request, nullptr, nullptr});
        matched = true;
        break;
    }
    if (!matched) {
        const Object* bound = objectAt(request, "bound");
        if (!bound) reject(msg::bindingRequired);
        response = gated(context_, name, request, *bound);
    }
    response.insert_or_assign("ok", true);
    return response;
}

}  // namespace quillgate
