#pragma once
// The server's keyboard: which key makes a keysym in the layout group in
// use, which modifier keys are held, and locking a group for one chord. Read
// per call, so a layout switch is seen at once.

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
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

// The keyboard map as XKB has it, kept between events: read again only once
// the server has said that it changed, so that looking a key up costs one
// round trip (the group in use) right before the key is pressed.
class Keyboard {
public:
    explicit Keyboard(const Connection& x);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // The key whose first level is the keysym in the group in use, else in
    // the first other group of the layout that has it; absent when none has
    // it. Without XKB: the core map's first column.
    std::optional<KeyPlace> keyFor(uint32_t keysym);

    // Locks a layout group, as a group switch key would.
    void lockGroup(uint32_t group);

private:
    struct Map;
    // The map, read again when an XKB event has come since it was read.
    Map* current();

    const Connection& x_;
    std::unique_ptr<Map> map_;
    uint8_t firstEvent_ = 0;  // XKB's first event code; 0: no XKB
    int32_t device_ = -1;
};

// Keycodes whose unshifted symbol is the keysym, first the one to press.
std::vector<xcb_keycode_t> keycodesOf(const Connection& x, uint32_t keysym);

// The modifier keys held down now: shift, control, alt, super and the
// level-3 shift. The lock keys (Caps Lock, Num Lock) are left out: they
// toggle when pressed, and holding one changes nothing.
std::vector<xcb_keycode_t> heldModifierKeys(const Connection& x);

}  // namespace quillgate::x11
