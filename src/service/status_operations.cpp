#include "service/status_operations.h"

#include "core/values.h"
#include "windows/inventory.h"
#include "windows/verification.h"

namespace quillgate {

Object permissionsOperation(const Call& call) {
    Platform& p = call.platform();
    bool screen = p.screenCapturePreflight();
    bool accessibility = p.accessibilityTrusted(false);
    return Object{{"screen", screen}, {"accessibility", accessibility}};
}

Object listOperation(const Call& call) {
    Array list;
    for (const Window& w : windows(call.platform())) list.emplace_back(w.companion());
    return Object{{"windows", std::move(list)}};
}

Object probeOperation(const Call& call) {
    Window w = selected(call.platform(), text(member(call.request, "id")));
    return Object{{"window", w.companion()}};
}

Object inspectOperation(const Call& call) {
    Window w = selected(call.platform(), text(member(call.request, "hwnd")));
    return Object{{"identity", w.identity()}};
}

}  // namespace quillgate
