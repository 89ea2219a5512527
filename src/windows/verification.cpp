#include "windows/verification.h"

#include <cmath>

#include "core/failure.h"
#include "core/trace.h"
#include "core/values.h"
#include "json/writer.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"
#include "windows/inventory.h"

namespace quillgate {

namespace {

bool sessionFlag(const Object& session, std::string_view key) {
    const Value* v = member(session, key);
    const bool* b = v ? v->asBool() : nullptr;
    return b && *b;
}

// Optional "+", one or more ASCII digits, at most 4294967295.
std::optional<uint32_t> windowNumberText(const std::string& text) {
    size_t i = (!text.empty() && text[0] == '+') ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// A number truncated toward zero as decimal text; -1 when missing.
std::string truncatedText(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return "-1";
    return json::decimal(std::trunc(*value) + 0.0);  // + 0.0 turns -0 into 0
}

std::string sizeTail(const Binding& bound, const Rect& rect) {
    return truncatedText(bound.width) + "x" + truncatedText(bound.height) + "->" +
           truncatedText(rect.width) + "x" + truncatedText(rect.height);
}

bool inFront(Platform& platform, const Window& w) {
    auto front = platform.frontmostApplication();
    return front && front->pid == w.pid;
}

void requireFocus(Platform& platform, const Window& w) {
    if (!inFront(platform, w)) reject(msg::lostFocus);
    auto focusedWindow = axElement(platform, platform.applicationElement(w.pid), "AXFocusedWindow");
    if (!focusedWindow) reject(msg::lostFocus);
    Element own = element(platform, w);
    if (!platform.elementsEqual(own, *focusedWindow)) reject(msg::lostFocus);
    // The accessibility reads take time: another application that came to the
    // front meanwhile must still be seen, so the front is read once more last.
    if (!inFront(platform, w)) reject(msg::lostFocus);
}

}  // namespace

bool sessionUsable(Platform& platform) {
    auto session = platform.sessionDictionary();
    const Object* dict = session ? session->asObject() : nullptr;
    return dict && sessionFlag(*dict, "kCGSSessionOnConsoleKey") && sessionFlag(*dict, "kCGSessionLoginDoneKey") &&
           !sessionFlag(*dict, "CGSSessionScreenIsLocked");
}

void permissions(Platform& platform) {
    if (!platform.accessibilityTrusted(true)) reject(msg::accessibilityPermission);
    if (!sessionUsable(platform)) reject(msg::sessionUnavailable);
}

Window selected(Platform& platform, const std::string& hwnd) {
    auto id = windowNumberText(hwnd);
    if (!id || *id == 0) reject(msg::selectedUnavailable);
    auto w = windowWithId(platform, *id);
    if (!w) reject(msg::selectedUnavailable);
    return std::move(*w);
}

Element element(Platform& platform, const Window& window) {
    auto items = axWindows(platform, window.pid);
    if (!items) reject(msg::windowUnavailable);
    std::vector<Element> matches;
    std::vector<Element> titled;
    for (const Element& e : *items) {
        if (axString(platform, e, "AXTitle") != window.title) continue;
        titled.push_back(e);
        auto rect = axRect(platform, e);
        if (rect && near(*rect, window.rect)) matches.push_back(e);
    }
    if (matches.size() == 1) return matches.front();
    if (matches.empty() && titled.size() == 1) return titled.front();

    std::string subroles;
    for (size_t i = 0; i < matches.size(); ++i) {
        if (i) subroles += ",";
        subroles += axString(platform, matches[i], "AXSubrole");
    }
    reject(std::string(msg::windowAmbiguous) + std::to_string(items->size()) + " sameTitle=" +
           std::to_string(titled.size()) + " matches=" + std::to_string(matches.size()) + " subroles=" + subroles);
}

void requireSameProcess(const Binding& bound, const Window& window) {
    if (!bound.pid || *bound.pid != static_cast<double>(window.pid)) reject(msg::processChanged);
    if (bound.process != window.process) reject(msg::processChanged);
    if (bound.processStart != window.started) reject(msg::processChanged);
}

bool sameTitle(const Binding& bound, const Window& window) { return bound.title == window.title; }

bool sameSize(const Binding& bound, const Window& window) {
    return bound.width && *bound.width == std::trunc(window.rect.width) && bound.height &&
           *bound.height == std::trunc(window.rect.height);
}

namespace {

// The listed window the binding names, still its process instance, title
// and size, and on screen.
Window sameWindow(Platform& platform, const Binding& bound) {
    Window w = selected(platform, bound.hwnd);
    requireSameProcess(bound, w);
    if (!sameTitle(bound, w)) reject(msg::titleChanged);
    if (!sameSize(bound, w)) reject(std::string(msg::sizeChanged) + sizeTail(bound, w.rect));
    if (!w.visible) reject(msg::minimized);
    return w;
}

}  // namespace

Window current(Platform& platform, const Binding& bound, bool focus) {
    const TraceStage timer(Stage::verification);
    permissions(platform);
    Window w = sameWindow(platform, bound);
    if (focus) requireFocus(platform, w);
    return w;
}

Window requireUnmoved(Platform& platform, const Binding& bound, const Rect& before, bool focus) {
    Window now = current(platform, bound, focus);
    requireStableRect(before, now.rect);
    return now;
}

Window currentInFront(Platform& platform, const Binding& bound) {
    const TraceStage timer(Stage::verification);
    Window w = sameWindow(platform, bound);
    if (!inFront(platform, w)) reject(msg::lostFocus);
    return w;
}

}  // namespace quillgate
