#pragma once
// What an operation receives, and the shape of every operation.

#include <array>
#include <cstddef>
#include <string_view>

#include "core/binding.h"
#include "core/context.h"
#include "platform/platform.h"

namespace quillgate {

struct Window;

// What an ungated operation receives: the request and the platform, no window.
struct Call {
    Context& context;
    const Object& request;

    Platform& platform() const { return *context.platform; }
};

// An operation that checks the binding itself ("activate").
struct BoundCall : Call {
    const Binding& bound;
};

// An operation behind a gate: the binding and the window the gate has just
// verified against it.
struct GatedCall : BoundCall {
    const Window& window;
};

// Return the response's keys besides "ok"; refuse by throwing GuardFailure.
using Handler = Object (*)(const Call&);
using GatedHandler = Object (*)(const GatedCall&);

// An operation name and what runs it; tables of routes are matched in order.
template <class Run>
struct Route {
    std::string_view name;
    Run handler;
};

// The first route with exactly that name, or null.
template <class Run, size_t n>
const Route<Run>* findRoute(const std::array<Route<Run>, n>& routes, std::string_view name) {
    for (const Route<Run>& route : routes) {
        if (route.name == name) return &route;
    }
    return nullptr;
}

}  // namespace quillgate
