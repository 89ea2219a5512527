#pragma once
// What the window server's list says about one X window, and how that becomes
// the window-list entry the core reads: the layer table, the frame around a
// client, whether input goes through it. No X call here, so all of it is tested without a display.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/value.h"

namespace quillgate::x11 {

// _NET_WM_WINDOW_TYPE, first known type of the list; none when unset.
enum class WindowType {
    none, normal, dialog, dock, desktop, notification, popupMenu, dropdownMenu, tooltip, combo, utility, toolbar,
    menu, splash, dnd,
};

// _NET_WM_STATE flags the layer and the visibility depend on.
struct WindowStates {
    bool hidden = false;
    bool above = false;
    bool below = false;
    bool modal = false;
    bool shaded = false;
};

// _NET_FRAME_EXTENTS: the decoration around a client, in pixels.
struct FrameExtents {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
};

struct WindowFacts {
    uint32_t id = 0;                 // the client window (or the unmanaged window)
    std::optional<int32_t> pid;      // _NET_WM_PID, else the X-Resource answer
    std::optional<std::string> title;
    std::optional<std::string> owner;
    Rect client;                     // in root coordinates
    FrameExtents extents;
    WindowType type = WindowType::none;
    WindowStates states;
    bool unmanaged = false;          // override-redirect: menus, tooltips, notifications
    bool viewable = false;
    // A client the window manager lists and is putting on the screen: not
    // viewable yet, though neither hidden, shaded nor on another desktop.
    // Input posted now may reach it once the window manager has mapped it.
    bool appearing = false;
    // The input region of the window on the root (its frame, for a client)
    // is empty: the pointer goes through it to whatever is below. Opacity
    // plays no part: a transparent window still takes the pointer.
    bool passesInput = false;
};

// Window levels as the core compares them, in the window server's numbers.
namespace level {
inline constexpr int64_t normal = 0;
inline constexpr int64_t floating = 3;
inline constexpr int64_t modalPanel = 8;
inline constexpr int64_t dock = 20;
inline constexpr int64_t popUpMenu = 101;
inline constexpr int64_t overlay = 102;
inline constexpr int64_t cursor = 2147483630;
}  // namespace level

int64_t layerFor(WindowType type, const WindowStates& states, bool unmanaged);

// The frame: the client grown by its decoration.
Rect frameOf(const Rect& client, const FrameExtents& extents);

// _NET_WM_DESKTOP of a window shown on every desktop.
inline constexpr uint32_t allDesktops = 0xFFFFFFFF;

// Whether a listed client is appearing (WindowFacts::appearing), given its
// _NET_WM_DESKTOP and the desktop in view, where the window manager names them.
bool appearing(const WindowFacts& facts, std::optional<uint32_t> desktop, std::optional<uint32_t> inView);

// Viewable or appearing, and not hidden by the window manager (iconified,
// other desktop).
bool onScreen(const WindowFacts& facts);

// The window-list entry, keyed as the core reads it.
Value windowEntry(const WindowFacts& facts);

}  // namespace quillgate::x11
