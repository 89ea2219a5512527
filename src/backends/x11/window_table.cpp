#include "backends/x11/window_table.h"

namespace quillgate::x11 {

int64_t layerFor(WindowType type, const WindowStates& states, bool unmanaged) {
    switch (type) {
        case WindowType::dock:
            return level::dock;
        case WindowType::notification:
            return level::overlay;
        case WindowType::popupMenu:
        case WindowType::dropdownMenu:
        case WindowType::tooltip:
        case WindowType::combo:
        case WindowType::dnd:
            return level::popUpMenu;
        case WindowType::utility:
        case WindowType::toolbar:
        case WindowType::menu:
            return level::floating;
        case WindowType::dialog:
            if (states.modal) return level::modalPanel;
            break;
        default:
            break;
    }
    // Override-redirect windows with no type are menus and tooltips drawn by
    // the toolkit itself: nothing else bypasses the window manager.
    if (unmanaged) return level::popUpMenu;
    return states.above ? level::floating : level::normal;
}

Rect frameOf(const Rect& client, const FrameExtents& extents) {
    return Rect{client.x - extents.left, client.y - extents.top, client.width + extents.left + extents.right,
                client.height + extents.top + extents.bottom};
}

bool appearing(const WindowFacts& facts, std::optional<uint32_t> desktop, std::optional<uint32_t> inView) {
    const bool here = !desktop || !inView || *desktop == allDesktops || *desktop == *inView;
    return !facts.unmanaged && !facts.viewable && !facts.states.hidden && !facts.states.shaded && here;
}

bool onScreen(const WindowFacts& facts) { return (facts.viewable || facts.appearing) && !facts.states.hidden; }

Value windowEntry(const WindowFacts& facts) {
    const Rect frame = frameOf(facts.client, facts.extents);
    Object entry{
        {"kCGWindowNumber", facts.id},
        {"kCGWindowLayer", layerFor(facts.type, facts.states, facts.unmanaged)},
        {"kCGWindowBounds",
         Object{{"X", frame.x}, {"Y", frame.y}, {"Width", frame.width}, {"Height", frame.height}}},
        // What the core reads as "invisible" is what input goes through.
        {"kCGWindowAlpha", facts.passesInput ? 0.0 : 1.0},
        {"kCGWindowIsOnscreen", onScreen(facts)},
    };
    if (facts.pid) entry.emplace("kCGWindowOwnerPID", *facts.pid);
    if (facts.owner) entry.emplace("kCGWindowOwnerName", *facts.owner);
    if (facts.title) entry.emplace("kCGWindowName", *facts.title);
    return entry;
}

}  // namespace quillgate::x11
