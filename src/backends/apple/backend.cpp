// On Apple systems the real macOS desktop is the program's; the simulated
// one, linked beside it, is used only when QUILLGATE_DESKTOP=sim asks for it
// (the tests and transcripts do).
#include "platform/backend.h"
#include "backends/choice/desktop_choice.h"
#include "backends/macos/backend.h"
#include "backends/sim/backend.h"

namespace quillgate {

std::shared_ptr<Platform> makePlatform() {
    static constexpr Desktop desktops[] = {{"macos", macos::makeMacPlatform}, {"sim", sim::makeSimPlatform}};
    return chooseDesktop(desktops);
}

}  // namespace quillgate
