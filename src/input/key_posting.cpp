#include "input/key_posting.h"

#include <array>
#include <utility>

#include "core/failure.h"
#include "core/trace.h"

namespace quillgate {

namespace {

constexpr std::array<std::pair<std::string_view, uint16_t>, 14> allowedKeys{{
    {"enter", 36},
    {"tab", 48},
    {"escape", 53},
    {"backspace", 51},
    {"delete", 117},
    {"left", 123},
    {"right", 124},
    {"up", 126},
    {"down", 125},
    {"home", 115},
    {"end", 119},
    {"ctrl+a", 0},
    {"ctrl+v", 9},
    {"cmd+enter", 36},
}};

// "ctrl+" names are Command chords too: select all and paste on macOS.
constexpr uint64_t commandFlag = 0x100000;

constexpr double pressPause = 0.040;

void send(Platform& platform, KeyboardEvent event) {
    // The port creates and posts in one call; an event that cannot be
    // created is refused like an unknown name, a key the keyboard layout
    // cannot make as what it is: the desktop's failure, not the host's.
    bool posted = false;
    try {
        posted = platform.post(event);
    } catch (const PlatformError& error) {
        if (error.domain != keyboardLayoutDomain) throw;
        reject(msg::keyUnavailable);
    }
    if (!posted) reject(msg::keyNotPermitted);
}

std::optional<uint16_t> allowedKey(std::string_view name) {
    for (const auto& [key, code] : allowedKeys) {
        if (key == name) return code;
    }
    return std::nullopt;
}

}  // namespace

void postKey(Platform& platform, std::string_view name, std::optional<int32_t> pid, const ProvenPost& proven) {
    const auto code = allowedKey(name);
    if (!code) reject(msg::keyNotPermitted);

    KeyboardEvent down{*code, true, std::nullopt, std::nullopt, EventSourceState::hidSystem};
    if (name.starts_with("ctrl+") || name.starts_with("cmd+")) down.flags = commandFlag;
    KeyboardEvent up = down;
    up.down = false;

    // Return and Command-Return also go straight to the bound process: the
    // HID tap reaches it only while it is frontmost.
    const auto post = [&](const std::function<void()>& events) { proven ? proven(events) : events(); };
    if (pid && name.ends_with("enter")) {
        down.pid = up.pid = pid;
        post([&] {
            send(platform, down);
            send(platform, up);
        });
        down.pid = up.pid = std::nullopt;
    }
    post([&] { send(platform, down); });
    pause(platform, pressPause, Wait::keyPress);
    send(platform, up);
}

std::vector<std::string_view> allowedKeyNames() {
    std::vector<std::string_view> names;
    for (const auto& [name, code] : allowedKeys) names.push_back(name);
    return names;
}

}  // namespace quillgate
