// The guard hash of a region of a window on the real macOS desktop, taken
// from the screenshot service's picture and from the screenshot tool's, with
// the program's own capture and hash: the live test of the two paths
// (tests/desktop/guard_cases.py) compares them, since the program takes
// whichever answers and the host's pinned hash must hold for both.
//
//   guard_hashes WINDOW X Y WIDTH HEIGHT
//
// Prints {"service":HASH,"tool":HASH}. A window that is not listed, or a
// capture or a region that fails, is one line on standard error and exit
// status 1.
#include <cstdio>
#include <exception>
#include <string>

#include "backends/macos/backend.h"
#include "capture/capture.h"
#include "capture/encoding.h"
#include "capture/tool.h"
#include "windows/inventory.h"

int main(int argc, char** argv) {
    using namespace quillgate;
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s WINDOW X Y WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    try {
        const std::shared_ptr<Platform> platform = macos::makeMacPlatform();
        const auto window = windowWithId(*platform, static_cast<uint32_t>(std::stoul(argv[1])));
        if (!window) {
            std::fprintf(stderr, "window %s is not listed\n", argv[1]);
            return 1;
        }
        const GuardRegion region{std::stod(argv[2]), std::stod(argv[3]), std::stod(argv[4]), std::stod(argv[5])};
        const std::string service = hash(captureSCK(*platform, *window), region);
        const std::string tool = hash(captureByTool(*platform, *window), region);
        std::printf("{\"service\":\"%s\",\"tool\":\"%s\"}\n", service.c_str(), tool.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
