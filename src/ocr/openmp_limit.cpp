#include "openmp_limit.h"

#include <cstdlib>
#include <string_view>

#include <unistd.h>

namespace lumascan {

void limitOpenMpThreads(char** argv) {
    const char* current = std::getenv("OMP_THREAD_LIMIT");
    if (current != nullptr && std::string_view(current) == "1") return;
    if (::setenv("OMP_THREAD_LIMIT", "1", 1) != 0) return;
    ::execv("/proc/self/exe", argv);
}

}  // namespace lumascan
