#include "windows/inventory.h"

namespace quillgate {

namespace {

// Ordinary windows smaller than this in either direction are not listed.
constexpr double listedMinimumSide = 10;

std::optional<Window> listedWindow(Platform& platform, const WindowEntry& entry) {
    if (!entry.layer || *entry.layer != 0 || !entry.number || !entry.pid || !entry.bounds) return std::nullopt;
    const Rect& rect = *entry.bounds;
    if (!(rect.width >= listedMinimumSide) || !(rect.height >= listedMinimumSide)) return std::nullopt;
    // The cheap tests above run first: this is the one lookup per candidate.
    auto app = platform.runningApplication(*entry.pid);
    if (!app || !app->launchDate) return std::nullopt;
    if (entry.name.empty()) return std::nullopt;

    Window w;
    w.id = *entry.number;
    w.pid = *entry.pid;
    w.process = app->name ? *app->name : entry.owner;
    w.started = startedText(*app->launchDate);
    w.title = entry.name;
    w.rect = rect;
    w.visible = entry.onScreen;
    return w;
}

}  // namespace

std::vector<Window> windows(Platform& platform) {
    std::vector<Window> result;
    auto entries = windowEntries(platform, WindowListOption::excludeDesktop);
    if (!entries) return result;
    for (const WindowEntry& entry : *entries) {
        if (auto w = listedWindow(platform, entry)) result.push_back(std::move(*w));
    }
    return result;
}

std::optional<Window> windowWithId(Platform& platform, uint32_t id) {
    auto entries = windowEntries(platform, WindowListOption::excludeDesktop);
    if (!entries) return std::nullopt;
    for (const WindowEntry& entry : *entries) {
        if (entry.number != id) continue;
        if (auto w = listedWindow(platform, entry)) return w;
    }
    return std::nullopt;
}

std::vector<Rect> displayFrames(Platform& platform) {
    auto frames = platform.displayBounds();
    return frames ? *frames : std::vector<Rect>{};
}

}  // namespace quillgate
