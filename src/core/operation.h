#pragma once
// What an operation receives, and the shape of every operation.

#include <span>
#include <string_view>

#include "core/context.h"
#include "platform/platform.h"

namespace quillgate {

struct Window;

struct Call {
    Context& context;
    const Object& request;
    const Object* bound;   // the binding, for operations behind a gate
    const Window* window;  // the window the gate verified, when it verifies one

    Platform& platform() const { return *context.platform; }
};

// Returns the response's keys besides "ok"; refuses by throwing GuardFailure.
using Handler = Object (*)(const Call&);

// An operation name and what runs it; tables of routes are matched in order.
struct Route {
    std::string_view name;
    Handler handler;
};

// The first route with exactly that name, or null.
inline const Route* findRoute(std::span<const Route> routes, std::string_view name) {
    for (const Route& route : routes) {
        if (route.name == name) return &route;
    }
    return nullptr;
}

}  // namespace quillgate
