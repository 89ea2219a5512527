#pragma once
// What is on the desktop: displays, the chat application, the user's input.

#include "doctor/chat_app.h"
#include "doctor/finding.h"
#include "core/context.h"

namespace quillgate::doctor {

// The displays, and whether the chat window lies on one of them.
Finding displaysCheck(Platform& platform, const ChatApp& app);
Finding chatAppCheck(const ChatApp& app);
// Idle time and keys held down, through the status operation the host uses.
Finding idleCheck(Context& context);

}  // namespace quillgate::doctor
