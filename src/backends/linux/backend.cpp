// Off Apple systems two desktops are linked: the simulated one, used unless
// the environment asks for another, and the X11 one. A desktop that was asked
// for and cannot start is an error, never a reason to use the other.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/backend.h"
#include "backends/sim/backend.h"
#include "backends/x11/backend.h"

namespace quillgate {

std::shared_ptr<Platform> makePlatform() {
    const char* desktop = std::getenv("QUILLGATE_DESKTOP");
    if (!desktop || !*desktop) return sim::makeSimPlatform();
    if (std::string(desktop) == "x11") return x11::makeX11Platform();
    throw std::runtime_error(std::string("quillgate: QUILLGATE_DESKTOP=") + desktop +
                             " names no desktop; the one there is is \"x11\"");
}

}  // namespace quillgate
