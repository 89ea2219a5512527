// The doctor on simulated machines: each check OK, WARN and FAIL, and that
// examining a machine never posts input or asks for a permission.

#include <gtest/gtest.h>

#include <map>

#include "doctor/doctor.h"
#include "backends/sim/sim_platform.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate::doctor {
namespace {

using testing::at;

// chatScene() as the real chat application, launched by the host app. Its
// clock is virtual, so a timed check measures exactly the scene's delays.
Value wechatScene() {
    Value scene = testing::chatScene();
    at(at(at(scene, "apps"), 0), "name") = "WeChat";
    at(at(at(scene, "windows"), 0), "kCGWindowOwnerName") = "WeChat";
    at(scene, "self") = Object{{"pid", 900}, {"parentPid", 77}};
    at(scene, "apps").asArray()->push_back(Object{{"pid", 77}, {"name", "veskor"}});
    return scene;
}

struct Examined {
    std::map<std::string, Finding> checks;
    std::vector<Value> events;
    std::vector<Finding> findings;

    Verdict operator[](const std::string& check) const { return checks.at(check).verdict; }
    const std::string& detail(const std::string& check) const { return checks.at(check).detail; }
};

Examined examineScene(const Value& scene) {
    auto desktop = sim::SimPlatform::fromText(testing::jsonText(scene));
    Examined result;
    result.findings = examine(desktop);
    for (const Finding& f : result.findings) result.checks.emplace(f.check, f);
    result.events = desktop->events();
    return result;
}

// What the doctor may cause on the desktop: screenshots, nothing else.
void expectOnlyReads(const Examined& examined) {
    for (const Value& event : examined.events) {
        const std::string what = *event.find("what")->asString();
        EXPECT_TRUE(what == "sck" || what == "tool") << testing::jsonText(event);
    }
}

int reportStatus(const std::vector<Finding>& findings, Format format, std::string& out) {
    ::testing::internal::CaptureStdout();
    const int status = report(findings, format);
    out = ::testing::internal::GetCapturedStdout();
    return status;
}

TEST(Doctor, HealthyMachineIsAllOkReadOnlyAndExitsZero) {
    const Examined examined = examineScene(wechatScene());
    ASSERT_EQ(examined.findings.size(), 9u);
    for (const Finding& f : examined.findings) EXPECT_EQ(f.verdict, Verdict::ok) << f.check << ": " << f.detail;
    EXPECT_NE(examined.detail("accessibility").find("\"veskor\" (pid 77"), std::string::npos);
    EXPECT_NE(examined.detail("chat app").find("window 60 900x600"), std::string::npos);
    EXPECT_TRUE(examined.checks.at("screenshot service").ms.has_value());
    expectOnlyReads(examined);

    std::string text;
    EXPECT_EQ(reportStatus(examined.findings, Format::text, text), 0);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
    EXPECT_NE(text.find("OK    screen recording    granted"), std::string::npos);
    EXPECT_TRUE(text.ends_with("All checks OK.\n"));
    std::string json;
    EXPECT_EQ(reportStatus(examined.findings, Format::json, json), 0);
    Value parsed = testing::parseJson(json);
    EXPECT_EQ(*parsed.find("ok")->asBool(), true);
    EXPECT_EQ(parsed.find("checks")->asArray()->size(), 9u);
}

TEST(Doctor, MissingPermissionsFailWithoutPromptingOrCapturing) {
    Value scene = wechatScene();
    at(scene, "accessibility") = false;
    at(scene, "screenRecording") = false;
    at(scene, "self") = Object{{"pid", 900}, {"parentPid", 12}};  // a shell: no application
    const Examined examined = examineScene(scene);
    EXPECT_EQ(examined["accessibility"], Verdict::fail);
    EXPECT_EQ(examined["screen recording"], Verdict::fail);
    EXPECT_NE(examined.checks.at("screen recording").advice.find("parent pid 12 is no application"), std::string::npos);
    // Trying the screenshot paths or reading the tree would prompt or be refused.
    EXPECT_EQ(examined["screenshot service"], Verdict::warn);
    EXPECT_EQ(examined["screenshot tool"], Verdict::warn);
    EXPECT_EQ(examined["accessibility tree"], Verdict::warn);
    EXPECT_TRUE(examined.events.empty());

    std::string text;
    EXPECT_EQ(reportStatus(examined.findings, Format::text, text), 1);
    EXPECT_NE(text.find("2 FAIL, 3 WARN"), std::string::npos);
    EXPECT_NE(text.find("FAIL  accessibility       not granted -> allow"), std::string::npos);
}

TEST(Doctor, SessionThatIsLockedOrOffTheConsoleFails) {
    for (const char* session : {R"({"kCGSSessionOnConsoleKey": true, "kCGSSessionLoginDoneKey": true,
                                    "CGSSessionScreenIsLocked": true})",
                                R"({"kCGSSessionOnConsoleKey": false, "kCGSSessionLoginDoneKey": true})", "null"}) {
        Value scene = wechatScene();
        at(scene, "session") = testing::parseJson(session);
        EXPECT_EQ(examineScene(scene)["session"], Verdict::fail) << session;
    }
}

TEST(Doctor, ScreenshotServiceHungSlowOrDeclined) {
    Value hungScene = wechatScene();
    at(hungScene, "sck") = Object{{"delay", nullptr}};
    Examined hung = examineScene(hungScene);
    EXPECT_EQ(hung["screenshot service"], Verdict::fail);
    EXPECT_EQ(hung.detail("screenshot service"), "no answer within 3000 ms: the service is hung");

    // Just under the capture timer: slow, but an answer.
    Value slowScene = wechatScene();
    at(slowScene, "sck") = Object{{"delay", 2.999}};
    Examined slow = examineScene(slowScene);
    EXPECT_EQ(slow["screenshot service"], Verdict::warn);
    EXPECT_EQ(slow.detail("screenshot service"), "answered in 2999 ms (slow)");
    EXPECT_EQ(slow["screenshot tool"], Verdict::ok);  // the fallback answers on its own

    Value declinedScene = wechatScene();
    at(declinedScene, "sck") = Object{{"error", Object{{"domain", "SCStreamErrorDomain"}, {"code", -3801}}}};
    Examined declined = examineScene(declinedScene);
    EXPECT_EQ(declined["screenshot service"], Verdict::fail);
    EXPECT_NE(declined.detail("screenshot service").find("declined"), std::string::npos);
}

TEST(Doctor, ScreenshotToolFailingOrSlow) {
    Value scene = wechatScene();
    for (const Object& tool : {Object{{"launch", false}}, Object{{"writes", false}}, Object{{"delay", 30}}}) {
        at(scene, "tool") = tool;
        EXPECT_EQ(examineScene(scene)["screenshot tool"], Verdict::fail) << testing::jsonText(tool);
    }
    at(scene, "tool") = Object{{"delay", 4.9}};  // inside its 5-second limit
    EXPECT_EQ(examineScene(scene)["screenshot tool"], Verdict::warn);
}

TEST(Doctor, ChatAppAbsentDuplicatedOrWithoutAWindowOnScreen) {
    Value scene = wechatScene();
    at(scene, "windows") = Array{};
    at(scene, "apps").asArray()->erase(at(scene, "apps").asArray()->begin());
    const Examined absent = examineScene(scene);
    EXPECT_EQ(absent["chat app"], Verdict::fail);
    for (const char* check : {"screenshot service", "screenshot tool", "accessibility tree"})
        EXPECT_EQ(absent[check], Verdict::warn) << check;

    // Running, closed to the Dock: found by its bundle identifier.
    at(scene, "apps").asArray()->push_back(Object{{"pid", 501}, {"name", "WeChat"}, {"bundle", "com.tencent.xinWeChat"}});
    EXPECT_EQ(examineScene(scene)["chat app"], Verdict::warn);

    Value minimised = wechatScene();
    at(at(at(minimised, "windows"), 0), "kCGWindowIsOnscreen") = false;
    EXPECT_EQ(examineScene(minimised)["chat app"], Verdict::warn);

    Value twice = wechatScene();
    Value second = at(at(twice, "windows"), 0);
    at(second, "kCGWindowNumber") = 61;
    at(second, "kCGWindowOwnerPID") = 502;
    at(twice, "windows").asArray()->push_back(second);
    at(twice, "apps").asArray()->push_back(Object{{"pid", 502}, {"name", "WeChat"}, {"launchDate", 1765000100.5}});
    const Examined duplicated = examineScene(twice);
    EXPECT_EQ(duplicated["chat app"], Verdict::warn);
    EXPECT_NE(duplicated.detail("chat app").find("pid 501, 502"), std::string::npos);
}

TEST(Doctor, AccessibilityTreeUnreadableOrOutOfStep) {
    Value scene = wechatScene();
    Value& ax = at(at(at(scene, "apps"), 0), "ax");
    at(ax, "AXWindows") = Object{{"error", -25204}};
    EXPECT_EQ(examineScene(scene)["accessibility tree"], Verdict::fail);

    at(ax, "AXWindows") = testing::parseJson(R"([{"AXRole": "AXWindow", "frame": [700, 500, 300, 200]}])");
    const Examined elsewhere = examineScene(scene);
    EXPECT_EQ(elsewhere["accessibility tree"], Verdict::warn);
    EXPECT_NE(elsewhere.detail("accessibility tree").find("1 window(s) listed, none at"), std::string::npos);
}

TEST(Doctor, DisplaysMissingOrNotShowingTheChatWindow) {
    Value scene = wechatScene();
    at(scene, "displays") = nullptr;
    EXPECT_EQ(examineScene(scene)["displays"], Verdict::fail);

    at(scene, "displays") = testing::parseJson("[[0, 0, 1920, 1080], [1920, 0, 1280, 800]]");
    EXPECT_EQ(examineScene(scene).detail("displays"), "2 displays: 1920x1080 at 0,0, 1280x800 at 1920,0");
    at(at(at(scene, "windows"), 0), "kCGWindowBounds") =
        Object{{"X", 4000}, {"Y", 50}, {"Width", 900}, {"Height", 600}};
    EXPECT_EQ(examineScene(scene)["displays"], Verdict::warn);
}

TEST(Doctor, HeldKeysWarn) {
    Value scene = wechatScene();
    at(scene, "input") = Object{{"held", Array{12, 56}}};
    const Examined examined = examineScene(scene);
    EXPECT_EQ(examined["idle"], Verdict::warn);
    EXPECT_NE(examined.detail("idle").find("held down: 12, 56"), std::string::npos);
    expectOnlyReads(examined);  // nothing is released on the user's behalf
}

TEST(Doctor, HeldModifiersAreForTheUserToRelease) {
    // release-keys leaves modifier keys alone: advising it would not help.
    Value scene = wechatScene();
    at(scene, "input") = Object{{"held", Array{56, 55}}};
    const Examined examined = examineScene(scene);
    EXPECT_EQ(examined["idle"], Verdict::warn);
    EXPECT_EQ(examined.checks.at("idle").advice.find("send release-keys"), std::string::npos);
    at(scene, "input") = Object{{"held", Array{12, 56}}};
    EXPECT_NE(examineScene(scene).checks.at("idle").advice.find("send release-keys"), std::string::npos);
}

TEST(Doctor, DesktopThatCannotStartIsTheOneFailure) {
    std::string json;
    EXPECT_EQ(reportStatus(desktopUnavailable("scene.json: not valid JSON"), Format::json, json), 1);
    EXPECT_EQ(json, R"({"checks":[{"advice":"fix what it names, then run the doctor again","check":"desktop",)"
                    R"("detail":"cannot start: scene.json: not valid JSON","status":"FAIL"}],"ok":false})"
                    "\n");
}

}  // namespace
}  // namespace quillgate::doctor
