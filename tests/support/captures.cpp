#include "support/captures.h"

#include <cstdio>

#include "capture/capture.h"
#include "service/failure.h"
#include "support/window_entries.h"

namespace quillgate::testing {

Object unhurriedChatScene(const std::vector<Value>& inFront) {
    Object scene = chatSceneWith(inFront);
    scene["timeScale"] = 0.25;
    return scene;
}

Outcome captureChat(Harness& h) {
    try {
        return {capture(h.main().context(), chatWindow()), ""};
    } catch (const GuardFailure& f) {
        return {std::nullopt, f.message};
    }
}

std::vector<std::string> captureCalls(const Harness& h) {
    std::vector<std::string> calls;
    for (const Value& event : h.events()) {
        const Value* what = event.find("what");
        const std::string* name = what ? what->asString() : nullptr;
        if (!name) continue;
        if (*name == "sck") calls.push_back(*event.find("call")->asString());
        if (*name == "tool" || *name == "toolTerminated") calls.push_back(*name);
    }
    return calls;
}

std::string colourAt(const Image& image, int x, int y) {
    const uint8_t* p = image.row(y) + static_cast<size_t>(x) * 4;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", p[0], p[1], p[2]);
    return text;
}

bool settle(Harness& h, double seconds) {
    const auto& pending = *h.main().context().pendingCapture;
    for (double waited = 0; pending.pending(); waited += 0.25) {
        if (waited >= seconds) return false;
        h.desktop().sleep(0.25);
    }
    return true;
}

}  // namespace quillgate::testing
