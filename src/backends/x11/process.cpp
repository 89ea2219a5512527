// The process and time: its ids, the temporary directory, clocks, sleeping.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

int32_t X11Platform::ownPid() { return getpid(); }

int32_t X11Platform::parentPid() { return getppid(); }

std::string X11Platform::temporaryDirectory() {
    const char* set = std::getenv("TMPDIR");
    std::string directory = set && *set ? set : "/tmp";
    if (directory.back() != '/') directory += '/';
    return directory;
}

double X11Platform::now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

double X11Platform::monotonic() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void X11Platform::sleep(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace quillgate::x11
