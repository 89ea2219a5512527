#pragma once
// Everything of the desktop outside the accessibility trees and the
// pictures, read once through the port and written under the scene's keys.

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace quillgate::recorder {

// "accessibility", "screenRecording", "session", "displays", "cursorLevel",
// "windows", "frontmost", "input" and "apps" (without their trees): the
// applications `first` names, in that order, then the frontmost one and the
// owners of listed windows. Where the on-screen window list is not the
// full list's on-screen entries (the desktop changed between the two
// reads), `notes` gets "onScreenList" with the numbers the on-screen list held.
Object recordDesktop(Platform& platform, const std::vector<int32_t>& first, Object& notes);

}  // namespace quillgate::recorder
