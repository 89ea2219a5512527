#pragma once
// Starting the X11 desktop: only on an X11 session with a reachable display.
// Under XWayland a native Wayland window covering the chat window is
// invisible to X, so a Wayland session is refused rather than acted on
// without proof.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillgate::x11 {

// An environment variable's value; absent or empty reads as unset.
using Environment = std::function<std::optional<std::string>(const char* name)>;

// The one-line reason the X11 desktop cannot start in this environment;
// absent when DISPLAY names a display to try.
std::optional<std::string> refusal(const Environment& environment);

// The X11 desktop of DISPLAY. Throws std::runtime_error with one line when
// refused or when the display cannot be reached.
std::shared_ptr<Platform> makeX11Platform();

}  // namespace quillgate::x11
