#include "openmp_limit.h"

#include <dlfcn.h>

namespace lumascan {

void limitOpenMpThreads() {
    // With no active level allowed, every parallel region gets a team of
    // one, whatever its num_threads clause asks; OMP_THREAD_LIMIT would do
    // the same but is read only while the runtime loads, before main().
    using SetMaxActiveLevels = void (*)(int);
    const auto set =
        reinterpret_cast<SetMaxActiveLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"));
    if (set != nullptr) set(0);
}

}  // namespace lumascan
