#include "windows/window_entry.h"

#include <cmath>

#include "core/values.h"

namespace quillgate {

namespace {

// The window server's integer widths for window numbers and process ids.
std::optional<uint32_t> windowNumber(const Value* value) {
    auto n = number(value);
    if (!n) return std::nullopt;
    return static_cast<uint32_t>(wholePart(*n));
}

std::optional<int32_t> processId(const Value* value) {
    auto n = number(value);
    if (!n) return std::nullopt;
    return static_cast<int32_t>(wholePart(*n));
}

}  // namespace

int64_t wholePart(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return 0;
    return static_cast<int64_t>(value);
}

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

int64_t WindowEntry::wholeLayer() const { return layer ? wholePart(*layer) : 0; }

WindowEntry windowEntry(const Value& entry) {
    const Value* onScreen = entry.find("kCGWindowIsOnscreen");
    const bool* visible = onScreen ? onScreen->asBool() : nullptr;
    return WindowEntry{
        .number = windowNumber(entry.find("kCGWindowNumber")),
        .pid = processId(entry.find("kCGWindowOwnerPID")),
        .layer = number(entry.find("kCGWindowLayer")),
        .owner = text(entry.find("kCGWindowOwnerName")),
        .name = text(entry.find("kCGWindowName")),
        .bounds = boundsRect(entry.find("kCGWindowBounds")),
        .alpha = number(entry.find("kCGWindowAlpha")),
        .onScreen = visible && *visible,
    };
}

std::optional<std::vector<WindowEntry>> windowEntries(Platform& platform, WindowListOption option) {
    auto list = platform.windowList(option);
    const Array* entries = list ? list->asArray() : nullptr;
    if (!entries) return std::nullopt;
    std::vector<WindowEntry> result;
    result.reserve(entries->size());
    for (const Value& entry : *entries) {
        if (!entry.isObject()) return std::nullopt;
        result.push_back(windowEntry(entry));
    }
    return result;
}

}  // namespace quillgate
