#pragma once
// The chat application as the doctor finds it: its running instances and
// their windows, read once for every check that needs them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "windows/window.h"

namespace quillgate::doctor {

struct ChatApp {
    std::vector<int32_t> instances;  // pids, running applications and window owners alike
    std::vector<Window> windows;     // front to back, minimised ones included
    std::string name;                // the name it runs under, "" when not running

    // The frontmost window that is on screen, the one captures would use.
    std::optional<Window> shownWindow() const;
};

ChatApp findChatApp(Platform& platform);

}  // namespace quillgate::doctor
