#include "doctor/chat_app.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "windows/inventory.h"

namespace quillgate::doctor {

namespace {

// The names its windows are owned by, whichever language it runs in.
constexpr std::array<std::string_view, 3> chatOwners{"WeChat", "Weixin", "微信"};
constexpr const char* chatBundle = "com.tencent.xinWeChat";

bool chatOwner(std::string_view name) {
    return std::find(chatOwners.begin(), chatOwners.end(), name) != chatOwners.end();
}

void addInstance(ChatApp& app, int32_t pid) {
    if (std::find(app.instances.begin(), app.instances.end(), pid) == app.instances.end()) app.instances.push_back(pid);
}

}  // namespace

std::optional<Window> ChatApp::shownWindow() const {
    for (const Window& w : windows) {
        if (w.visible) return w;
    }
    return std::nullopt;
}

ChatApp findChatApp(Platform& platform) {
    ChatApp app;
    // An instance without a window (closed to the Dock) is still an instance.
    for (const RunningApplication& running : platform.runningApplications(chatBundle)) {
        addInstance(app, running.pid);
        if (app.name.empty() && running.name) app.name = *running.name;
    }
    for (Window& w : windows(platform)) {
        if (!chatOwner(w.process)) continue;
        addInstance(app, w.pid);
        if (app.name.empty()) app.name = w.process;
        app.windows.push_back(std::move(w));
    }
    return app;
}

}  // namespace quillgate::doctor
