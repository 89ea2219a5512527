#include "backends/x11/desktop_lost.h"

#include <cstdio>
#include <cstdlib>

namespace quillgate::x11 {

void desktopLost(const std::string& line) {
    std::fprintf(stderr, "quillgate: %s\n", line.c_str());
    std::fflush(stderr);
    // No destructors and no exit handlers: other threads may be inside the
    // desktop's libraries, and nothing more is to be written.
    std::_Exit(desktopLostStatus);
}

}  // namespace quillgate::x11
