#include "capture/prompt.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/characters.h"
#include "core/failure.h"
#include "windows/window_entry.h"

namespace quillgate {
namespace {

// Processes that draw the permission prompts and their helpers.
constexpr std::array<std::string_view, 10> promptOwnerPrefixes{
    "UserNotificationCenter", "universalAccessAuthWarn", "SecurityAgent", "replayd", "screencaptureui",
    "ScreenCaptureKit", "tccd", "TCC", "coreautha", "CoreServicesUIAgent",
};

// System chrome, input-method switchers, the chat application and the
// product's own app: never a prompt, whatever their layer and size.
constexpr std::array<std::string_view, 17> ignoredOwners{
    "Window Server", "Dock", "程序坞", "控制中心", "Control Center", "通知中心", "Notification Center",
    "SystemUIServer", "Spotlight", "聚焦", "TextInputMenuAgent", "TextInputSwitcher",
    "微信", "WeChat", "Weixin", "Veskor", "veskor",
};

constexpr size_t describedHits = 4;
constexpr size_t ownerCharacters = 24;

bool promptOwner(std::string_view owner) {
    return std::any_of(promptOwnerPrefixes.begin(), promptOwnerPrefixes.end(),
                       [&](std::string_view prefix) { return owner.starts_with(prefix); });
}

bool ignoredOwner(std::string_view owner) {
    return std::find(ignoredOwners.begin(), ignoredOwners.end(), owner) != ignoredOwners.end();
}

// An unnamed helper above the floating-window layers with a dialog's size is
// a prompt too.
constexpr int64_t promptMinLayer = 7;
bool dialogSized(const Rect& r) { return r.width >= 180 && r.width <= 1000 && r.height >= 90 && r.height <= 800; }

}  // namespace

PromptScan promptOnScreen(Platform& platform) {
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return {true, "?"};
    const int32_t own = platform.ownPid();
    const int32_t host = platform.parentPid();

    size_t hits = 0;
    std::string description;
    for (const WindowEntry& entry : *entries) {
        const std::string& owner = entry.owner;
        const int32_t pid = entry.pid.value_or(-1);
        if (pid == own || pid == host || ignoredOwner(owner) || !entry.bounds) continue;
        const int64_t layer = entry.wholeLayer();
        if (!promptOwner(owner) && !(layer > promptMinLayer && dialogSized(*entry.bounds))) continue;
        if (hits++ < describedHits) {
            if (!description.empty()) description += ',';
            description += firstCharacters(owner, ownerCharacters) + "@" + std::to_string(layer);
        }
    }
    return {hits > 0, description};
}

std::string screenWaitingMessage(Platform& platform) {
    const PromptScan scan = promptOnScreen(platform);
    std::string message(msg::screenWaiting);
    message += scan.found ? "; prompt=yes" : "; prompt=no";
    if (!scan.description.empty()) message += "; by=" + scan.description;
    return message;
}

bool sckDeclined(const std::exception& error) {
    const auto* platformError = dynamic_cast<const PlatformError*>(&error);
    return platformError && platformError->domain == screenshotServiceDomain &&
           platformError->code == screenshotUserDeclined;
}

}  // namespace quillgate
