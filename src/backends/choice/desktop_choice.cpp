#include "backends/choice/desktop_choice.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace quillgate {

std::shared_ptr<Platform> chooseDesktop(std::span<const Desktop> desktops) {
    const char* asked = std::getenv("QUILLGATE_DESKTOP");
    if (!asked || !*asked) return desktops.front().make();
    std::string names;
    for (const Desktop& desktop : desktops) {
        if (desktop.name == asked) return desktop.make();
        names += (names.empty() ? "\"" : " or \"") + std::string(desktop.name) + "\"";
    }
    throw std::runtime_error(std::string("quillgate: QUILLGATE_DESKTOP=") + asked +
                             " names no desktop of this build; it may be " + names);
}

}  // namespace quillgate
