#pragma once
// The server's keyboard map: which keycodes carry a keysym. Read per call, so
// a layout switch is seen at once.

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace quillgate::x11 {

class Connection;

// Keycodes whose unshifted symbol is the keysym, first the one to press.
std::vector<xcb_keycode_t> keycodesOf(const Connection& x, uint32_t keysym);

}  // namespace quillgate::x11
