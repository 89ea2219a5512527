#include "backends/sim/screenshot.h"

#include <algorithm>

#include "backends/sim/permissions.h"
#include "backends/sim/pictures.h"
#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"
#include "backends/sim/window_server.h"

namespace quillgate::sim {

namespace {

const Value* sckMember(const Value& scene, std::string_view key) {
    const Value* sck = member(scene, "sck");
    return sck ? member(*sck, key) : nullptr;
}

}  // namespace

std::vector<ShareableWindow> shareableWindows(const Value& scene) {
    const std::string* content = text(sckMember(scene, "content"));
    if (content && *content == "error")
        throw PlatformError(screenshotServiceDomain, screenRecording(scene) ? sckNoContent : sckDeclined);
    std::vector<ShareableWindow> windows;
    const Value* listed = sckMember(scene, "windows");
    if (listed && listed->isArray()) {
        for (const Value& window : *listed->asArray())
            if (auto id = windowNumber(member(window, "windowID")))
                windows.push_back({*id, pid(member(window, "pid"))});
        return windows;
    }
    for (const Object* window : onScreenWindows(scene))
        if (auto id = windowNumber(member(*window, "kCGWindowNumber")))
            windows.push_back({*id, pid(member(*window, "kCGWindowOwnerPID"))});
    return windows;
}

std::optional<double> screenshotDelay(const Value& scene) {
    const Value* delay = sckMember(scene, "delay");
    if (delay && delay->isNull()) return std::nullopt;
    return std::max(0.0, number(delay).value_or(defaults::sckDelay));
}

Image screenshotAnswer(const Value& scene, const std::string& baseDir, uint32_t windowID, int width, int height) {
    if (const Value* error = sckMember(scene, "error")) {
        auto code = integer(member(*error, "code"));
        const std::string* domain = text(member(*error, "domain"));
        if (code) throw PlatformError(domain ? *domain : screenshotServiceDomain, *code);
    }
    const Object* window = onScreenWindow(scene, windowID);
    if (!window) throw PlatformError(screenshotServiceDomain, sckWindowGone);
    if (auto size = pairFromArray(sckMember(scene, "size"))) {
        width = pixelLength(size->first, 1);
        height = pixelLength(size->second, 1);
    }
    return pictureOfWindow(scene, baseDir, *window, width, height);
}

}  // namespace quillgate::sim
