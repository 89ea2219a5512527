#include "doctor/desktop_checks.h"

#include <algorithm>
#include <string>

#include "input/input_operations.h"
#include "core/operation.h"
#include "windows/inventory.h"

namespace quillgate::doctor {

namespace {

std::string whole(double value) { return std::to_string(wholePart(value)); }

std::string sizeText(const Rect& r) { return whole(r.width) + "x" + whole(r.height); }

bool overlaps(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::string list(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

}  // namespace

Finding displaysCheck(Platform& platform, const ChatApp& app) {
    const std::vector<Rect> displays = displayFrames(platform);
    if (displays.empty()) {
        return {"displays", Verdict::fail, "none listed", "wake or connect a display; a headless session cannot be driven",
                std::nullopt};
    }
    std::vector<std::string> parts;
    for (const Rect& d : displays) parts.push_back(sizeText(d) + " at " + whole(d.x) + "," + whole(d.y));
    std::string detail = std::to_string(displays.size()) + (displays.size() == 1 ? " display: " : " displays: ") + list(parts);
    if (auto shown = app.shownWindow()) {
        const bool onADisplay =
            std::any_of(displays.begin(), displays.end(), [&](const Rect& d) { return overlaps(d, shown->rect); });
        if (!onADisplay) {
            return {"displays", Verdict::warn, detail + "; the chat window lies on none of them",
                    "move the chat window onto a display", std::nullopt};
        }
    }
    return {"displays", Verdict::ok, std::move(detail), "", std::nullopt};
}

Finding chatAppCheck(const ChatApp& app) {
    if (app.instances.empty()) {
        return {"chat app", Verdict::fail, "not running", "start WeChat and log in", std::nullopt};
    }
    std::vector<std::string> parts;
    for (const Window& w : app.windows) {
        parts.push_back("window " + std::to_string(w.id) + " " + sizeText(w.rect) + (w.visible ? "" : " minimised"));
    }
    std::vector<std::string> pids;
    for (int32_t pid : app.instances) pids.push_back(std::to_string(pid));
    std::string detail = "\"" + app.name + "\" pid " + list(pids) + ": " +
                         (parts.empty() ? std::string("no window") : list(parts));
    if (app.instances.size() > 1) {
        return {"chat app", Verdict::warn, std::move(detail) + "; more than one instance",
                "quit all but one instance: a binding names one process", std::nullopt};
    }
    if (app.windows.empty()) {
        return {"chat app", Verdict::warn, std::move(detail), "open its window (click its Dock icon)", std::nullopt};
    }
    if (!app.shownWindow()) {
        return {"chat app", Verdict::warn, std::move(detail), "restore its window from the Dock", std::nullopt};
    }
    return {"chat app", Verdict::ok, std::move(detail), "", std::nullopt};
}

Finding idleCheck(Context& context) {
    const Object none;
    const Object state = inputIdleOperation(Call{context, none});
    const double idleMs = *state.at("idleMs").asNumber();
    std::vector<std::string> held;
    bool releasable = false;  // by "release-keys", which leaves modifier keys alone
    for (const Value& code : *state.at("heldKeys").asArray()) {
        held.push_back(whole(*code.asNumber()));
        releasable |= !isModifierCode(*code.asNumber());
    }
    std::string detail = "no input for " + whole(idleMs) + " ms";
    if (!held.empty()) {
        return {"idle", Verdict::warn, detail + "; key codes held down: " + list(held),
                std::string(releasable ? "release those keys (or send release-keys)"
                                       : "release those keys (modifier keys, which release-keys leaves alone)") +
                    "; a held key changes what posted keys mean",
                std::nullopt};
    }
    return {"idle", Verdict::ok, std::move(detail), "", std::nullopt};
}

}  // namespace quillgate::doctor
