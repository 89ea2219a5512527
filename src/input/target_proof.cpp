#include "input/target_proof.h"

#include <string>

#include "core/failure.h"
#include "windows/accessibility.h"
#include "windows/occlusion.h"
#include "windows/verification.h"

namespace quillgate {

void postProven(const GatedCall& call, const std::function<void()>& post) {
    Platform& platform = call.platform();
    current(platform, call.bound, true);
    const Platform::Hold held = platform.holdDesktop();
    currentInFront(platform, call.bound);
    post();
}

void postAtTarget(const GatedCall& call, Point point, bool popupOk, const std::function<void()>& post) {
    Platform& platform = call.platform();
    requireUnmoved(platform, call.bound, call.window.rect, true);
    const Platform::Hold held = platform.holdDesktop();
    requireStableRect(call.window.rect, currentInFront(platform, call.bound).rect);
    // The window list last: it is what changes when a window appears.
    if (auto occ = occluder(platform, call.window, point, popupOk)) {
        reject(std::string(msg::targetOccluded) + *occ);
    }
    post();
}

}  // namespace quillgate
