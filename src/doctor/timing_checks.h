#pragma once
// The slow, failure-prone paths, timed once each on the chat window: the
// screenshot service, the screenshot tool and the accessibility tree. Each
// is tried only when it cannot make the system show a prompt.

#include "doctor/chat_app.h"
#include "doctor/finding.h"
#include "core/context.h"

namespace quillgate::doctor {

Finding screenshotServiceCheck(Context& context, const ChatApp& app);
Finding screenshotToolCheck(Context& context, const ChatApp& app);
Finding accessibilityTreeCheck(Platform& platform, const ChatApp& app);

}  // namespace quillgate::doctor
