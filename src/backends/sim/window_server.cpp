#include "backends/sim/window_server.h"

#include <algorithm>

#include "backends/sim/sim_platform.h"
#include "backends/sim/permissions.h"
#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"

namespace quillgate::sim {

namespace {

bool isOnScreen(const Value& window) {
    return window.isObject() && boolean(member(window, "kCGWindowIsOnscreen")) == true;
}

bool isWindowArray(const Value& windows) {
    return windows.isArray() && std::all_of(windows.asArray()->begin(), windows.asArray()->end(),
                                             [](const Value& w) { return w.isObject(); });
}

}  // namespace

std::optional<Value> windowList(const Value& scene, bool onScreenOnly) {
    const Value* windows = member(scene, "windows");
    if (!windows) return Array{};
    if (windows->isNull()) return std::nullopt;
    if (!isWindowArray(*windows) || !onScreenOnly) return *windows;
    Array visible;
    for (const Value& window : *windows->asArray())
        if (isOnScreen(window)) visible.push_back(window);
    return visible;
}

std::vector<const Object*> onScreenWindows(const Value& scene) {
    std::vector<const Object*> visible;
    const Value* windows = member(scene, "windows");
    if (!windows || !windows->isArray()) return visible;
    for (const Value& window : *windows->asArray())
        if (isOnScreen(window)) visible.push_back(window.asObject());
    return visible;
}

const Object* onScreenWindow(const Value& scene, uint32_t number) {
    for (const Object* window : onScreenWindows(scene)) {
        auto it = window->find("kCGWindowNumber");
        if (it != window->end() && sim::number(&it->second) == static_cast<double>(number)) return window;
    }
    return nullptr;
}

std::optional<Rect> boundsRect(const Value* bounds) {
    if (!bounds || !bounds->isObject()) return std::nullopt;
    auto x = number(member(*bounds, "X")), y = number(member(*bounds, "Y"));
    auto w = number(member(*bounds, "Width")), h = number(member(*bounds, "Height"));
    if (!x || !y || !w || !h) return std::nullopt;
    return Rect{*x, *y, *w, *h};
}

std::optional<std::vector<Rect>> displays(const Value& scene) {
    const Value* list = member(scene, "displays");
    if (!list) return std::vector<Rect>{{0, 0, 1920, 1080}};
    if (!list->isArray()) return std::nullopt;
    std::vector<Rect> rects;
    for (const Value& display : *list->asArray())
        if (auto rect = rectFromArray(&display)) rects.push_back(*rect);
    return rects;
}

int64_t cursorLevel(const Value& scene) {
    return integer(member(scene, "cursorLevel")).value_or(defaults::cursorLevel);
}

// The window server and screen-recording calls of the simulated desktop.

std::optional<Value> SimPlatform::windowList(WindowListOption option) {
    std::lock_guard lock(mutex_);
    advance();
    bool onScreenOnly = (static_cast<uint32_t>(option) & 1) != 0;
    return sim::windowList(scene_, onScreenOnly);
}

std::optional<std::vector<Rect>> SimPlatform::displayBounds() {
    std::lock_guard lock(mutex_);
    advance();
    return displays(scene_);
}

int64_t SimPlatform::cursorWindowLevel() {
    std::lock_guard lock(mutex_);
    advance();
    return cursorLevel(scene_);
}

std::optional<Value> SimPlatform::sessionDictionary() {
    std::lock_guard lock(mutex_);
    advance();
    return session(scene_);
}

bool SimPlatform::screenCapturePreflight() {
    std::lock_guard lock(mutex_);
    advance();
    return screenRecording(scene_);
}

bool SimPlatform::screenCaptureRequest() {
    std::lock_guard lock(mutex_);
    double now = advance();
    if (!screenRecording(scene_)) log_.append(now, "prompt", {{"kind", "screen"}});
    return screenRecordingGrant(scene_);
}

}  // namespace quillgate::sim
