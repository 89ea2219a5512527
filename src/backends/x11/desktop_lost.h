#pragma once
// The end of the process when what the X11 desktop stands on is gone for
// good (the display's connection broken, the accessibility bus gone): one
// line on standard error, then exit status 3 at once, from whichever thread
// found it. Nothing after that may be answered as if the desktop were empty;
// the host starts the program again, as after any exit.

#include <string>

namespace quillgate::x11 {

inline constexpr int desktopLostStatus = 3;

[[noreturn]] void desktopLost(const std::string& line);

}  // namespace quillgate::x11
