#include "backends/x11/keyboard.h"

// xcb's XKB header names a member "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "backends/x11/connection.h"

namespace quillgate::x11 {

namespace {

struct FreeContext {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct FreeKeymap {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct FreeState {
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
};

// The modifier map's rows that are held, not locked: Shift, Control, Mod1
// (Alt), Mod3, Mod4 (Super) and Mod5 (level-3 shift); Lock and Mod2 (Num
// Lock) are not.
constexpr std::array<int, 6> heldRows{0, 2, 3, 5, 6, 7};

bool symbolAt(xkb_keymap* keymap, xkb_keycode_t code, uint32_t group, uint32_t keysym) {
    const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap, code);
    if (groups == 0) return false;
    // A key with fewer groups than the layout wraps, as the server does.
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, code, group % groups, 0, &syms);
    for (int i = 0; i < count; ++i) {
        if (syms[i] == keysym) return true;
    }
    return false;
}

std::optional<xcb_keycode_t> keyInGroup(xkb_keymap* keymap, uint32_t group, uint32_t keysym) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap); code <= xkb_keymap_max_keycode(keymap); ++code) {
        if (symbolAt(keymap, code, group, keysym)) return static_cast<xcb_keycode_t>(code);
    }
    return std::nullopt;
}

}  // namespace

struct Keyboard::Map {
    std::unique_ptr<xkb_context, FreeContext> context;
    std::unique_ptr<xkb_keymap, FreeKeymap> keymap;
};

Keyboard::Keyboard(const Connection& x) : x_(x) {
    xcb_connection_t* c = x.get();
    uint8_t firstEvent = 0;
    if (!xkb_x11_setup_xkb_extension(c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &firstEvent, nullptr)) {
        return;
    }
    device_ = xkb_x11_get_core_keyboard_device_id(c);
    if (device_ < 0) return;
    firstEvent_ = firstEvent;
    // A new keyboard or a changed map is said with an event; nothing else is
    // selected on this connection, so every event that comes means the map
    // is to be read again.
    const uint16_t changes = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    xcb_xkb_select_events(c, static_cast<xcb_xkb_device_spec_t>(device_), changes, 0, changes, 0xff, 0xff, nullptr);
    xcb_flush(c);
}

Keyboard::~Keyboard() = default;

Keyboard::Map* Keyboard::current() {
    bool changed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_.get())) {
        changed = true;
        std::free(event);
    }
    if (map_ && !changed) return map_.get();
    auto map = std::make_unique<Map>();
    // The keymap comes from the server; no file is read.
    map->context.reset(xkb_context_new(
        static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    if (!map->context) return nullptr;
    map->keymap.reset(xkb_x11_keymap_new_from_device(map->context.get(), x_.get(), device_, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!map->keymap) return nullptr;
    map_ = std::move(map);
    return map_.get();
}

std::optional<KeyPlace> Keyboard::keyFor(uint32_t keysym) {
    if (!firstEvent_) {
        // No XKB: one group, the core map.
        const auto codes = keycodesOf(x_, keysym);
        if (codes.empty()) return std::nullopt;
        return KeyPlace{codes.front(), 0, true, 0};
    }
    xcb_connection_t* c = x_.get();
    // The state's reply comes after every event the server sent before it.
    auto state = x_.ask<xcb_xkb_get_state_reply_t>(
        [&] { return xcb_xkb_get_state(c, static_cast<xcb_xkb_device_spec_t>(device_)); });
    Map* map = current();
    if (!state || !map) return std::nullopt;
    xkb_keymap* keymap = map->keymap.get();
    const uint32_t inUse = state->group;
    const uint32_t locked = state->lockedGroup;
    if (auto code = keyInGroup(keymap, inUse, keysym)) return KeyPlace{*code, inUse, true, locked};
    const xkb_layout_index_t groups = xkb_keymap_num_layouts(keymap);
    for (uint32_t group = 0; group < groups; ++group) {
        if (group == inUse) continue;
        if (auto code = keyInGroup(keymap, group, keysym)) return KeyPlace{*code, group, false, locked};
    }
    return std::nullopt;
}

void Keyboard::lockGroup(uint32_t group) {
    xcb_xkb_latch_lock_state(x_.get(), static_cast<xcb_xkb_device_spec_t>(device_), 0, 0, 1,
                             static_cast<uint8_t>(group), 0, 0, 0);
}

std::vector<xcb_keycode_t> keycodesOf(const Connection& x, uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(x.get());
    const xcb_keycode_t first = setup->min_keycode;
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - first + 1);
    Reply<xcb_get_keyboard_mapping_reply_t> map(
        x.ask<xcb_get_keyboard_mapping_reply_t>([&] { return xcb_get_keyboard_mapping(x.get(), first, count); }));
    std::vector<xcb_keycode_t> found;
    if (!map || map->keysyms_per_keycode == 0) return found;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    const int perCode = map->keysyms_per_keycode;
    const int total = xcb_get_keyboard_mapping_keysyms_length(map.get());
    for (int i = 0; i + perCode <= total; i += perCode) {
        if (syms[i] == keysym) found.push_back(static_cast<xcb_keycode_t>(first + i / perCode));
    }
    return found;
}

std::vector<xcb_keycode_t> heldModifierKeys(const Connection& x) {
    if (!x.answering()) return {};
    xcb_connection_t* c = x.get();
    auto mappingCookie = xcb_get_modifier_mapping(c);
    auto keymapCookie = xcb_query_keymap(c);
    auto mapping = x.replyTo<xcb_get_modifier_mapping_reply_t>(mappingCookie);
    auto keymap = x.replyTo<xcb_query_keymap_reply_t>(keymapCookie);
    std::vector<xcb_keycode_t> held;
    if (!mapping || !keymap) return held;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perRow = mapping->keycodes_per_modifier;
    for (int row : heldRows) {
        for (int i = 0; i < perRow; ++i) {
            const xcb_keycode_t code = codes[row * perRow + i];
            if (code == 0 || !((keymap->keys[code / 8] >> (code % 8)) & 1)) continue;
            if (std::find(held.begin(), held.end(), code) == held.end()) held.push_back(code);
        }
    }
    return held;
}

}  // namespace quillgate::x11
