#pragma once
// Requests on the chat window of chatScene(), and the guard the host would
// pin through "bind-region".

#include <string>

#include "platform/value.h"
#include "support/harness.h"

namespace quillgate::testing {

// The conversation header strip of chatScene()'s window.
Object headerRegion();

// A request for `op` on the chat window, its binding carrying `guard` when
// one is given.
Object boundRequest(const std::string& op, const Value& guard = Value());

// The guard "bind-region" issues for `region`, with the window's own
// capture as the reference; fails the test when it is refused.
Object pinnedGuard(Harness& h, const Object& region = headerRegion());

// The response's "error", or "" when it answered "ok": true.
std::string errorOf(const Object& response);

}  // namespace quillgate::testing
