#include "input/target_proof.h"

#include <string>

#include "core/failure.h"
#include "windows/occlusion.h"
#include "windows/verification.h"

namespace quillgate {

void proveTarget(const GatedCall& call, Point point, bool popupOk) {
    requireUnmoved(call.platform(), call.bound, call.window.rect, true);
    // The window list last: it is what changes when a window appears.
    if (auto occ = occluder(call.platform(), call.window, point, popupOk)) {
        reject(std::string(msg::targetOccluded) + *occ);
    }
}

}  // namespace quillgate
