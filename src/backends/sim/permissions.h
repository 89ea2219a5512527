#pragma once
// Permissions and the login session: "accessibility", "screenRecording",
// "screenRecordingGrant" and "session".

#include <optional>

#include "platform/value.h"

namespace quillgate::sim {

bool accessibilityTrusted(const Value& scene);
// The screen-capture preflight answer.
bool screenRecording(const Value& scene);
// The answer of the screen-capture request; the preflight answer unless set.
bool screenRecordingGrant(const Value& scene);
// The current-session dictionary as written; absent when "session" is null.
// Unset, the session is on the console with login done and no lock.
std::optional<Value> session(const Value& scene);

}  // namespace quillgate::sim
