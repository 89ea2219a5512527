#pragma once
// The system's screen-recording prompt. While it waits for the user, the
// screenshot service hangs and the tool fails; the host is then told to ask
// the user to press 「允许」 rather than being given a bare failure.

#include <exception>
#include <string>

#include "platform/platform.h"

namespace quillgate {

struct PromptScan {
    bool found = false;
    // Up to four hits, "owner@layer" joined by ","; "?" for an unreadable
    // window list.
    std::string description;
};

// Looks for a permission prompt among the on-screen windows of other
// processes than this one and its host.
PromptScan promptOnScreen(Platform& platform);

// The waiting message with the prompt state as its tail.
std::string screenWaitingMessage(Platform& platform);

// The screenshot service's error for a user who declined screen recording.
bool sckDeclined(const std::exception& error);

}  // namespace quillgate
