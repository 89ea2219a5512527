#include "popups/menu_operations.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/trace.h"
#include "core/values.h"
#include "input/key_posting.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"
#include "windows/window_entry.h"

namespace quillgate {

namespace {

// Menus, their submenus and pop-up menus sit in these window layers.
constexpr int64_t menuLayerFirst = 100;
constexpr int64_t menuLayerLast = 103;
constexpr double afterMenuEscape = 0.3;
constexpr const char* dockBundle = "com.apple.dock";
constexpr int dockMaxDepth = 4;

// The request's list without its empty strings.
std::vector<std::string> nonEmpty(std::vector<std::string> list) {
    std::erase(list, std::string());
    return list;
}

// The running applications of each bundle, bundles in the request's order.
std::vector<RunningApplication> runningFor(Platform& platform, const Object& request) {
    std::vector<RunningApplication> apps;
    for (const std::string& bundle : nonEmpty(stringList(request, "bundles"))) {
        for (RunningApplication& app : platform.runningApplications(bundle)) apps.push_back(std::move(app));
    }
    return apps;
}

// The owner of the front-most menu window of one of the processes.
std::optional<int32_t> menuOwner(Platform& platform, const std::set<int32_t>& pids) {
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return std::nullopt;
    for (const WindowEntry& entry : *entries) {
        if (!entry.pid || !pids.contains(*entry.pid)) continue;
        const int64_t layer = entry.wholeLayer();
        if (layer >= menuLayerFirst && layer <= menuLayerLast) return entry.pid;
    }
    return std::nullopt;
}

// Whether the element's title is a string in the set; an untitled element
// never matches, even when the set holds "".
bool titled(Platform& platform, const Element& element, const std::set<std::string>& titles) {
    auto title = axText(platform, element, "AXTitle");
    return title && titles.contains(*title);
}

// The first item titled like one of `items` in a menu titled like one of `menus`.
std::optional<Element> menuItem(Platform& platform, const Element& bar, const std::set<std::string>& menus,
                                const std::set<std::string>& items) {
    for (const Element& barItem : axChildren(platform, bar)) {
        if (!titled(platform, barItem, menus)) continue;
        for (const Element& menu : axChildren(platform, barItem)) {
            for (const Element& item : axChildren(platform, menu)) {
                if (titled(platform, item, items)) return item;
            }
        }
    }
    return std::nullopt;
}

std::optional<Element> dockItem(Platform& platform, const Element& element, int depth,
                                const std::vector<std::string>& names) {
    if (depth > dockMaxDepth) return std::nullopt;
    auto title = axText(platform, element, "AXTitle");
    if (title && std::find(names.begin(), names.end(), *title) != names.end() &&
        axString(platform, element, "AXRole") == "AXDockItem") {
        return element;
    }
    for (const Element& child : axChildren(platform, element)) {
        if (auto found = dockItem(platform, child, depth + 1, names)) return found;
    }
    return std::nullopt;
}

// A press the application may have taken counts: the host must not press again.
bool press(Platform& platform, const Element& element) {
    return actionOutcome(platform.performAction(element, "AXPress")) != ActionOutcome::failed;
}

Object notPressed(const char* why) { return Object{{"pressed", false}, {"why", why}}; }

}  // namespace

Object dismissMenuOperation(const Call& call) {
    Platform& platform = call.platform();
    std::set<int32_t> pids;
    for (const RunningApplication& app : runningFor(platform, call.request)) pids.insert(app.pid);
    if (pids.empty()) return Object{{"found", false}};
    auto owner = menuOwner(platform, pids);
    if (!owner) return Object{{"found", false}};
    postKey(platform, "escape", *owner);
    pause(platform, afterMenuEscape, Wait::menuEscape);
    return Object{{"found", true}};
}

Object showChatsOperation(const Call& call) {
    Platform& platform = call.platform();
    const auto menus = stringSet(call.request, "menus", {"窗口", "Window"});
    const auto items = stringSet(call.request, "items", {"聊天", "Chats", "Chat"});
    const auto apps = runningFor(platform, call.request);
    if (apps.empty()) return notPressed("not-running");
    auto bar = axElement(platform, platform.applicationElement(apps.front().pid), "AXMenuBar");
    if (!bar) return notPressed("no-menubar");
    auto target = menuItem(platform, *bar, menus, items);
    if (!target) return notPressed("no-item");
    // Only an explicit false disables: many items do not report the attribute.
    auto enabled = ax(platform, *target, "AXEnabled");
    const bool* b = enabled ? enabled->asBool() : nullptr;
    if (b && !*b) return notPressed("disabled");
    return Object{{"pressed", press(platform, *target)}};
}

Object reopenAppOperation(const Call& call) {
    Platform& platform = call.platform();
    const auto names = nonEmpty(stringList(call.request, "names"));
    if (names.empty()) return Object{{"pressed", false}};
    const auto docks = platform.runningApplications(dockBundle);
    if (docks.empty()) return Object{{"pressed", false}};
    auto icon = dockItem(platform, platform.applicationElement(docks.front().pid), 0, names);
    return Object{{"pressed", icon && press(platform, *icon)}};
}

}  // namespace quillgate
