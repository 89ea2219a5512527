#pragma once
// The platform the program runs on. makePlatform() is defined exactly once:
// by the macOS backend on Apple systems; everywhere else by the desktop
// choice, which gives the simulated desktop unless QUILLGATE_DESKTOP=x11
// asks for the X11 desktop of DISPLAY.

#include <memory>

#include "platform/platform.h"

namespace quillgate {

// The platform for this process. The simulated desktop reads its scene from
// QUILLGATE_SCENE (or uses its built-in demo scene) and appends its event log
// to QUILLGATE_SIM_LOG; a scene it cannot use makes it throw
// std::runtime_error with a one-line message naming the file and the problem.
// The X11 desktop throws the same way when the display cannot be reached or
// the session is Wayland's.
std::shared_ptr<Platform> makePlatform();

}  // namespace quillgate
