#pragma once
// The server's keyboard: which key makes a keysym in the layout group in
// use, which modifier keys are held, and locking a group for one chord. Read
// per call, so a layout switch is seen at once.

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillgate::x11 {

class Connection;

// Where a keysym is on the keyboard.
struct KeyPlace {
    xcb_keycode_t code = 0;
    uint32_t group = 0;        // the layout group whose first level is the keysym
    bool groupInUse = true;    // that group is the one in use
    uint32_t lockedGroup = 0;  // the group locked now
};

// The key whose first level is the keysym in the group in use, else in the
// first other group of the layout that has it; absent when none has it.
std::optional<KeyPlace> keyFor(const Connection& x, uint32_t keysym);

// Locks a layout group, as a group switch key would.
void lockGroup(const Connection& x, uint32_t group);

// Keycodes whose unshifted symbol is the keysym, first the one to press.
std::vector<xcb_keycode_t> keycodesOf(const Connection& x, uint32_t keysym);

// The modifier keys held down now: shift, control, alt, super and the
// level-3 shift. The lock keys (Caps Lock, Num Lock) are left out: they
// toggle when pressed, and holding one changes nothing.
std::vector<xcb_keycode_t> heldModifierKeys(const Connection& x);

}  // namespace quillgate::x11
