#include "doctor/timing_checks.h"

#include <cmath>
#include <exception>
#include <string>

#include "capture/capture.h"
#include "capture/prompt.h"
#include "capture/tool.h"
#include "json/writer.h"
#include "core/failure.h"
#include "windows/ax_windows.h"

namespace quillgate::doctor {

namespace {

// Beyond these an answer still arrives, but requests visibly stall.
constexpr double slowServiceMs = 1000;
constexpr double slowToolMs = 2500;
constexpr double slowTreeMs = 1000;

struct Timer {
    Platform& platform;
    double start = platform.monotonic();
    double ms() const { return (platform.monotonic() - start) * 1000; }
};

std::string msText(double ms) { return json::decimal(std::round(ms)) + " ms"; }

// Why a check that needs the screen or the chat window was not tried.
std::optional<Finding> notTried(Platform& platform, std::string check, const ChatApp& app, bool needsScreen) {
    if (needsScreen && !platform.screenCapturePreflight()) {
        return Finding{std::move(check), Verdict::warn, "not tried: it would make the system ask for screen recording",
                       "grant screen recording first", std::nullopt};
    }
    if (!app.shownWindow()) {
        return Finding{std::move(check), Verdict::warn, "not tried: no chat window on screen",
                       "open the chat window, then run the doctor again", std::nullopt};
    }
    return std::nullopt;
}

std::string failureText(const std::exception& error) {
    if (auto* failure = dynamic_cast<const GuardFailure*>(&error)) return failure->message;
    return error.what();
}

Finding timed(std::string check, double ms, double slowMs, std::string answered, std::string slowAdvice) {
    if (ms >= slowMs) {
        return {std::move(check), Verdict::warn, answered + " in " + msText(ms) + " (slow)", std::move(slowAdvice), ms};
    }
    return {std::move(check), Verdict::ok, answered + " in " + msText(ms), "", ms};
}

}  // namespace

Finding screenshotServiceCheck(Context& context, const ChatApp& app) {
    Platform& platform = *context.platform;
    const std::string check = "screenshot service";
    if (auto skipped = notTried(platform, check, app, true)) return *skipped;
    const Window window = *app.shownWindow();
    Timer timer{platform};
    try {
        raceSCK(context, window);
    } catch (const CaptureTimeout&) {
        return {check, Verdict::fail, "no answer within " + msText(timer.ms()) + ": the service is hung",
                "captures fall back to the screenshot tool; restart the Mac if it stays hung", timer.ms()};
    } catch (const std::exception& error) {
        if (sckDeclined(error)) {
            return {check, Verdict::fail, "declined after " + msText(timer.ms()),
                    "switch screen recording off and on again for the launching app, then start it again", timer.ms()};
        }
        return {check, Verdict::fail, "failed after " + msText(timer.ms()) + ": " + failureText(error),
                "captures fall back to the screenshot tool", timer.ms()};
    }
    return timed(check, timer.ms(), slowServiceMs, "answered",
                 "captures wait up to 3 s before using the tool; close screen-recording apps");
}

Finding screenshotToolCheck(Context& context, const ChatApp& app) {
    Platform& platform = *context.platform;
    const std::string check = "screenshot tool";
    if (auto skipped = notTried(platform, check, app, true)) return *skipped;
    Timer timer{platform};
    try {
        captureByTool(platform, *app.shownWindow());
    } catch (const std::exception& error) {
        return {check, Verdict::fail, "failed after " + msText(timer.ms()) + ": " + failureText(error),
                "captures fail whenever the screenshot service does; check that /usr/sbin/screencapture runs",
                timer.ms()};
    }
    return timed(check, timer.ms(), slowToolMs, "answered", "captures that fall back to it are slow");
}

Finding accessibilityTreeCheck(Platform& platform, const ChatApp& app) {
    const std::string check = "accessibility tree";
    if (!platform.accessibilityTrusted(false)) {
        return {check, Verdict::warn, "not tried: accessibility is not granted", "grant accessibility first",
                std::nullopt};
    }
    if (auto skipped = notTried(platform, check, app, false)) return *skipped;
    const Window window = *app.shownWindow();
    Timer timer{platform};
    const auto listed = axWindows(platform, window.pid);
    const double ms = timer.ms();
    if (!listed) {
        return {check, Verdict::fail, "the chat app's windows cannot be read (after " + msText(ms) + ")",
                "restart the chat app; if it persists, remove and re-add the accessibility grant", ms};
    }
    const std::string answered = std::to_string(listed->size()) + " window(s) listed";
    if (windowsAt(platform, *listed, window.rect).empty()) {
        return {check, Verdict::warn, answered + ", none at the chat window's position, in " + msText(ms),
                "restart the chat app: its accessibility tree is out of step with its windows", ms};
    }
    return timed(check, ms, slowTreeMs, answered, "the chat app is busy; text reading and popups will be slow");
}

}  // namespace quillgate::doctor
