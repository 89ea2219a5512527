#include "doctor/doctor.h"

#include "capture/pending_capture.h"
#include "doctor/chat_app.h"
#include "doctor/desktop_checks.h"
#include "doctor/permission_checks.h"
#include "doctor/timing_checks.h"

namespace quillgate::doctor {

std::optional<Format> requested(const std::vector<std::string>& arguments) {
    if (arguments.size() == 2 && arguments[1] == "--doctor") return Format::text;
    if (arguments.size() == 3 && arguments[1] == "--doctor" && arguments[2] == "--json") return Format::json;
    return std::nullopt;
}

std::vector<Finding> examine(std::shared_ptr<Platform> shared) {
    Context context{std::move(shared), std::make_shared<PendingCapture>()};
    Platform& platform = *context.platform;
    const ChatApp app = findChatApp(platform);
    return {
        accessibilityCheck(platform),
        screenRecordingCheck(platform),
        sessionCheck(platform),
        displaysCheck(platform, app),
        chatAppCheck(app),
        screenshotServiceCheck(context, app),
        screenshotToolCheck(context, app),
        accessibilityTreeCheck(platform, app),
        idleCheck(context),
    };
}

std::vector<Finding> desktopUnavailable(const std::string& why) {
    return {{"desktop", Verdict::fail, "cannot start: " + why, "fix what it names, then run the doctor again",
             std::nullopt}};
}

}  // namespace quillgate::doctor
