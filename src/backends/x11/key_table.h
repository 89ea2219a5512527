#pragma once
// The core names keys by the Mac's virtual key codes and modifiers by the
// Mac's event flags; X names them by keysyms and modifier masks. The Command
// flag is the Control key here: the chords it carries (select all, paste,
// send) are Control chords on Linux. The Mac's Control key becomes Super.

#include <cstdint>
#include <optional>
#include <vector>

namespace quillgate::x11 {

namespace keysym {
inline constexpr uint32_t shiftL = 0xffe1, shiftR = 0xffe2, controlL = 0xffe3, controlR = 0xffe4,
                          altL = 0xffe9, altR = 0xffea, superL = 0xffeb, superR = 0xffec;
}  // namespace keysym

// The keysym of a Mac key code; absent for codes with no key here (Fn).
std::optional<uint32_t> keysymOf(uint16_t macCode);

// The modifier keys to hold for a Mac flag set, in pressing order.
std::vector<uint32_t> modifierKeysyms(uint64_t macFlags);

}  // namespace quillgate::x11
