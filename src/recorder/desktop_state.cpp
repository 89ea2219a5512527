#include "recorder/desktop_state.h"

#include <algorithm>
#include <array>
#include <utility>

#include "input/pointer_state.h"
#include "windows/window_entry.h"

namespace quillgate::recorder {

namespace {

// The event kinds the scene's "input"."since" names, with their numbers.
constexpr std::array<std::pair<const char*, uint32_t>, 9> eventKinds{{
    {"keyDown", eventType::keyDown},
    {"keyUp", eventType::keyUp},
    {"mouseMoved", eventType::mouseMoved},
    {"leftMouseDown", eventType::leftMouseDown},
    {"rightMouseDown", eventType::rightMouseDown},
    {"scrollWheel", eventType::scrollWheel},
    {"leftMouseDragged", eventType::leftMouseDragged},
    {"rightMouseDragged", eventType::rightMouseDragged},
    {"leftMouseUp", eventType::leftMouseUp},
}};
// Key codes the program asks about.
constexpr uint16_t keyCodes = 128;

Value rectArray(const Rect& r) { return Array{r.x, r.y, r.width, r.height}; }

Value displays(Platform& platform) {
    auto bounds = platform.displayBounds();
    if (!bounds) return nullptr;
    Array list;
    for (const Rect& r : *bounds) list.push_back(rectArray(r));
    return list;
}

Value input(Platform& platform) {
    Object since;
    for (const auto& [name, type] : eventKinds)
        since[name] = platform.secondsSinceLastEvent(EventSourceState::combinedSession, type);
    Array held;
    for (uint16_t code = 0; code < keyCodes; ++code)
        if (platform.keyDown(EventSourceState::hidSystem, code)) held.emplace_back(code);
    Object state{{"since", std::move(since)}, {"held", std::move(held)}};
    if (auto at = platform.pointerLocation()) state["pointer"] = Array{at->x, at->y};
    const std::vector<int32_t> buttons = heldButtons(platform);
    if (!buttons.empty()) state["buttons"] = Array(buttons.begin(), buttons.end());
    return state;
}

Value application(Platform& platform, const RunningApplication& app) {
    Object entry{{"pid", app.pid}};
    if (platform.inputMethod(app.pid)) entry["inputMethod"] = true;
    if (app.name) entry["name"] = *app.name;
    if (app.bundle) entry["bundle"] = *app.bundle;
    if (app.launchDate) entry["launchDate"] = *app.launchDate;
    return entry;
}

void addPid(std::vector<int32_t>& pids, std::optional<int32_t> pid) {
    if (pid && std::find(pids.begin(), pids.end(), *pid) == pids.end()) pids.push_back(*pid);
}

// The window numbers of a list's on-screen dictionaries, in order.
std::vector<uint32_t> onScreenNumbers(const Value& list, bool flaggedOnly) {
    std::vector<uint32_t> numbers;
    list.elements([&](const Value& entry) {
        const WindowEntry read = windowEntry(entry);
        if (read.number && (!flaggedOnly || read.onScreen)) numbers.push_back(*read.number);
        return true;
    });
    return numbers;
}

}  // namespace

Object recordDesktop(Platform& platform, const std::vector<int32_t>& first, Object& notes) {
    Object scene;
    scene["accessibility"] = platform.accessibilityTrusted(false);
    scene["screenRecording"] = platform.screenCapturePreflight();
    auto session = platform.sessionDictionary();
    scene["session"] = session ? std::move(*session) : Value(nullptr);
    scene["displays"] = displays(platform);
    scene["cursorLevel"] = platform.cursorWindowLevel();

    auto windows = platform.windowList(WindowListOption::excludeDesktop);
    auto onScreen = platform.windowList(WindowListOption::onScreenExcludeDesktop);
    std::vector<int32_t> pids = first;
    auto front = platform.frontmostApplication();
    scene["frontmost"] = front ? Value(front->pid) : Value(nullptr);
    if (front) addPid(pids, front->pid);
    if (windows) {
        windows->elements([&](const Value& entry) {
            addPid(pids, windowEntry(entry).pid);
            return true;
        });
        if (onScreen && windows->isArray() && onScreenNumbers(*onScreen, false) != onScreenNumbers(*windows, true)) {
            Array numbers;
            for (uint32_t n : onScreenNumbers(*onScreen, false)) numbers.emplace_back(n);
            notes["onScreenList"] = std::move(numbers);
        }
    }
    scene["windows"] = windows ? std::move(*windows) : Value(nullptr);

    Array apps;
    for (int32_t pid : pids)
        if (auto app = platform.runningApplication(pid)) apps.push_back(application(platform, *app));
    scene["apps"] = std::move(apps);
    scene["input"] = input(platform);
    return scene;
}

}  // namespace quillgate::recorder
