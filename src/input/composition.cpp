#include "input/composition.h"

#include <map>

#include "core/failure.h"
#include "windows/window_entry.h"

namespace quillgate {

namespace {

// Input methods keep a few windows mapped that show nothing (a point-sized
// connection window); a candidate list or composition is larger.
constexpr double smallestShown = 2;

bool shown(const WindowEntry& entry) {
    return entry.onScreen && entry.bounds && entry.bounds->width >= smallestShown &&
           entry.bounds->height >= smallestShown && !(entry.alpha && *entry.alpha <= 0);
}

}  // namespace

void requireNoComposition(Platform& platform) {
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) reject(msg::windowUnavailable);
    std::map<int32_t, bool> inputMethods;
    for (const WindowEntry& entry : *entries) {
        if (!entry.pid || !shown(entry)) continue;
        auto known = inputMethods.find(*entry.pid);
        if (known == inputMethods.end())
            known = inputMethods.emplace(*entry.pid, platform.inputMethod(*entry.pid)).first;
        if (known->second) reject(msg::inputMethodComposing);
    }
}

}  // namespace quillgate
