#include "backends/x11/keyboard.h"

#include "backends/x11/connection.h"

namespace quillgate::x11 {

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

}  // namespace quillgate::x11
