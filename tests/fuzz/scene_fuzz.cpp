// The simulated desktop's scene reader on arbitrary text: it refuses the
// scene with one error or builds a desktop whose window list and displays
// can be read.

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "backends/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Picture files are read from disk; a path such as /dev/zero would only
    // test the machine. Reading pictures is the PNG reader's target.
    if (text.find("png") != std::string_view::npos) return 0;
    std::shared_ptr<quillgate::sim::SimPlatform> desktop;
    try {
        desktop = quillgate::sim::SimPlatform::fromText(text, "/nonexistent");
    } catch (const std::runtime_error&) {
        return 0;
    }
    desktop->windowList(quillgate::WindowListOption::excludeDesktop);
    desktop->windowList(quillgate::WindowListOption::onScreenExcludeDesktop);
    desktop->displayBounds();
    desktop->accessibilityTrusted(false);
    return 0;
}
