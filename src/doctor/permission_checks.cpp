#include "doctor/permission_checks.h"

#include <string>

#include "windows/verification.h"

namespace quillgate::doctor {

namespace {

// macOS keeps both grants per responsible application: the one that
// launched quillgate (the host app, or the terminal it was run from), not
// quillgate itself. Naming it tells the person which entry to switch on.
std::string launcher(Platform& platform) {
    const int32_t parent = platform.parentPid();
    auto app = platform.runningApplication(parent);
    if (app && app->name) return "\"" + *app->name + "\" (pid " + std::to_string(parent) + ", which launched quillgate)";
    return "the application quillgate was launched from (parent pid " + std::to_string(parent) +
           " is no application: the terminal or host app it runs in)";
}

Finding grantCheck(Platform& platform, std::string check, bool granted, Platform::Permission permission,
                  const std::string& settingsPane) {
    if (auto source = platform.permissionSource(permission)) {
        if (granted) return {std::move(check), Verdict::ok, source->granted, "", std::nullopt};
        return {std::move(check), Verdict::fail, "not granted", source->advice, std::nullopt};
    }
    const std::string holder = launcher(platform);
    if (granted) return {std::move(check), Verdict::ok, "granted to " + holder, "", std::nullopt};
    return {std::move(check), Verdict::fail, "not granted",
            "allow " + holder + " in System Settings > Privacy & Security > " + settingsPane +
                ", then start it again",
            std::nullopt};
}

}  // namespace

Finding accessibilityCheck(Platform& platform) {
    return grantCheck(platform, "accessibility", platform.accessibilityTrusted(false),
                      Platform::Permission::accessibility, "Accessibility");
}

Finding screenRecordingCheck(Platform& platform) {
    return grantCheck(platform, "screen recording", platform.screenCapturePreflight(),
                      Platform::Permission::screenRecording, "Screen Recording");
}

Finding sessionCheck(Platform& platform) {
    if (sessionUsable(platform)) return {"session", Verdict::ok, "on the console, logged in, unlocked", "", std::nullopt};
    return {"session", Verdict::fail, "locked, not logged in, or not the console session",
            "unlock the desktop and use it at its own screen (not a second user's session)", std::nullopt};
}

}  // namespace quillgate::doctor
