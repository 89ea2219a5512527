// Off Apple systems two desktops are linked: the simulated one, used unless
// the environment asks for another, and the X11 one.
#include "platform/backend.h"
#include "backends/choice/desktop_choice.h"
#include "backends/sim/backend.h"
#include "backends/x11/backend.h"

namespace quillgate {

std::shared_ptr<Platform> makePlatform() {
    static constexpr Desktop desktops[] = {{"sim", sim::makeSimPlatform}, {"x11", x11::makeX11Platform}};
    return chooseDesktop(desktops);
}

}  // namespace quillgate
