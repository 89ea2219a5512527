#include "windows/inventory.h"

#include <cmath>

#include "core/values.h"

namespace quillgate {

std::optional<Rect> boundsRect(const Value* bounds) {
    if (!bounds) return std::nullopt;
    const double* x = nullptr;
    const double* y = nullptr;
    const double* w = nullptr;
    const double* h = nullptr;
    if (const Value* v = bounds->find("X")) x = v->asNumber();
    if (const Value* v = bounds->find("Y")) y = v->asNumber();
    if (const Value* v = bounds->find("Width")) w = v->asNumber();
    if (const Value* v = bounds->find("Height")) h = v->asNumber();
    if (!x || !y || !w || !h) return std::nullopt;
    return Rect{*x, *y, *w, *h};
}

int64_t wholePart(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return 0;
    return static_cast<int64_t>(value);
}

int64_t layerOf(const Value& entry) {
    auto layer = number(entry.find("kCGWindowLayer"));
    return layer ? wholePart(*layer) : 0;
}

const std::string& ownerOf(const Value& entry) { return text(entry.find("kCGWindowOwnerName")); }

namespace {

std::optional<Window> listedWindow(Platform& platform, const Value& entry) {
    auto layer = number(entry.find("kCGWindowLayer"));
    if (!layer || *layer != 0) return std::nullopt;
    auto id = number(entry.find("kCGWindowNumber"));
    if (!id) return std::nullopt;
    auto pid = number(entry.find("kCGWindowOwnerPID"));
    if (!pid) return std::nullopt;
    auto rect = boundsRect(entry.find("kCGWindowBounds"));
    if (!rect) return std::nullopt;
    if (!(rect->width >= 10) || !(rect->height >= 10)) return std::nullopt;
    // The cheap tests above run first: this is the one lookup per candidate.
    auto app = platform.runningApplication(processId(*pid));
    if (!app || !app->launchDate) return std::nullopt;
    const Value* name = entry.find("kCGWindowName");
    const std::string* title = name ? name->asString() : nullptr;
    if (!title || title->empty()) return std::nullopt;

    Window w;
    w.id = windowNumber(*id);
    w.pid = processId(*pid);
    if (app->name) {
        w.process = *app->name;
    } else {
        w.process = ownerOf(entry);
    }
    w.started = startedText(*app->launchDate);
    w.title = *title;
    w.rect = *rect;
    const Value* onscreen = entry.find("kCGWindowIsOnscreen");
    const bool* visible = onscreen ? onscreen->asBool() : nullptr;
    w.visible = visible && *visible;
    return w;
}

}  // namespace

uint32_t windowNumber(double value) { return static_cast<uint32_t>(wholePart(value)); }
int32_t processId(double value) { return static_cast<int32_t>(wholePart(value)); }

std::vector<Window> windows(Platform& platform) {
    std::vector<Window> result;
    auto entries = windowDictionaries(platform, WindowListOption::excludeDesktop);
    if (!entries) return result;
    for (const Value& entry : *entries) {
        if (auto w = listedWindow(platform, entry)) result.push_back(std::move(*w));
    }
    return result;
}

std::optional<Window> windowWithId(Platform& platform, uint32_t id) {
    auto entries = windowDictionaries(platform, WindowListOption::excludeDesktop);
    if (!entries) return std::nullopt;
    for (const Value& entry : *entries) {
        auto listedId = number(entry.find("kCGWindowNumber"));
        if (!listedId || windowNumber(*listedId) != id) continue;
        if (auto w = listedWindow(platform, entry)) return w;
    }
    return std::nullopt;
}

std::optional<Array> windowDictionaries(Platform& platform, WindowListOption option) {
    auto list = platform.windowList(option);
    Array* entries = list ? list->asArray() : nullptr;
    if (!entries) return std::nullopt;
    for (const Value& entry : *entries) {
        if (!entry.isObject()) return std::nullopt;
    }
    return std::move(*entries);
}

std::vector<Rect> displayFrames(Platform& platform) {
    auto frames = platform.displayBounds();
    return frames ? *frames : std::vector<Rect>{};
}

}  // namespace quillgate
