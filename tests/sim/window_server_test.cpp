// The window server, displays, permissions, session and workspace answered
// from the scene.
#include <gtest/gtest.h>

#include <unistd.h>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::eventLines;
using testing::jsonText;

TEST(SimWindowList, OnScreenOptionKeepsOnScreenDictionariesInOrder) {
    auto d = desktop(R"({"windows": [
      {"kCGWindowNumber": 3, "kCGWindowIsOnscreen": true},
      {"kCGWindowNumber": 2, "kCGWindowIsOnscreen": false},
      {"kCGWindowNumber": 1},
      {"kCGWindowNumber": 4, "kCGWindowIsOnscreen": 1},
      {"kCGWindowNumber": 5, "kCGWindowIsOnscreen": true, "kCGWindowBounds": "odd"}
    ]})");
    auto all = d->windowList(WindowListOption::excludeDesktop);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->asArray()->size(), 5u);
    auto visible = d->windowList(WindowListOption::onScreenExcludeDesktop);
    ASSERT_TRUE(visible);
    EXPECT_EQ(jsonText(*visible), R"([{"kCGWindowIsOnscreen":true,"kCGWindowNumber":3},)"
                                  R"({"kCGWindowBounds":"odd","kCGWindowIsOnscreen":true,"kCGWindowNumber":5}])");
}

TEST(SimWindowList, NullMissingAndListsThatAreNotArraysOfDictionaries) {
    EXPECT_FALSE(desktop(R"({"windows": null})")->windowList(WindowListOption::onScreenExcludeDesktop));
    EXPECT_EQ(jsonText(*desktop("{}")->windowList(WindowListOption::onScreenExcludeDesktop)), "[]");
    for (const char* odd : {R"({"windows": {"a": 1}})", R"({"windows": 7})", R"({"windows": "list"})",
                            R"({"windows": [{"kCGWindowIsOnscreen": false}, "not a dictionary", null]})"}) {
        auto d = desktop(odd);
        std::string written = jsonText(*testing::parseJson(odd).find("windows"));
        EXPECT_EQ(jsonText(*d->windowList(WindowListOption::onScreenExcludeDesktop)), written);
        EXPECT_EQ(jsonText(*d->windowList(WindowListOption::excludeDesktop)), written);
    }
}

TEST(SimWindowServer, DisplaysAndCursorLevel) {
    auto plain = desktop("{}");
    EXPECT_EQ(plain->displayBounds(), (std::vector<Rect>{{0, 0, 1920, 1080}}));
    EXPECT_EQ(plain->cursorWindowLevel(), 2147483630);

    auto two = desktop(R"({"displays": [[0, 0, 1440, 900], [1440, -200, 2560, 1440]], "cursorLevel": 25})");
    EXPECT_EQ(two->displayBounds(), (std::vector<Rect>{{0, 0, 1440, 900}, {1440, -200, 2560, 1440}}));
    EXPECT_EQ(two->cursorWindowLevel(), 25);

    EXPECT_FALSE(desktop(R"({"displays": null})")->displayBounds());
}

TEST(SimPermissions, AnswersAndPromptsOnlyWhenMissing) {
    auto granted = desktop("{}");
    EXPECT_TRUE(granted->accessibilityTrusted(true));
    EXPECT_TRUE(granted->screenCapturePreflight());
    EXPECT_TRUE(granted->screenCaptureRequest());
    EXPECT_TRUE(granted->events().empty());

    auto missing = desktop(R"({"accessibility": false, "screenRecording": false})");
    EXPECT_FALSE(missing->accessibilityTrusted(false));
    EXPECT_FALSE(missing->accessibilityTrusted(true));
    EXPECT_FALSE(missing->screenCapturePreflight());
    EXPECT_FALSE(missing->screenCaptureRequest());
    EXPECT_EQ(eventLines(*missing),
              eventLines({R"({"what":"prompt","kind":"accessibility"})", R"({"what":"prompt","kind":"screen"})"}));

    auto grants = desktop(R"({"screenRecording": false, "screenRecordingGrant": true})");
    EXPECT_TRUE(grants->screenCaptureRequest());
    EXPECT_FALSE(grants->screenCapturePreflight());
}

TEST(SimSession, DefaultWrittenAndNull) {
    auto normal = desktop("{}")->sessionDictionary();
    ASSERT_TRUE(normal);
    EXPECT_EQ(jsonText(*normal), R"({"kCGSSessionOnConsoleKey":true,"kCGSessionLoginDoneKey":true})");

    const char* locked = R"({"CGSSessionScreenIsLocked":true,"extra":[1,"two"],"kCGSSessionOnConsoleKey":"yes"})";
    auto written = desktop(std::string(R"({"session": )") + locked + "}")->sessionDictionary();
    ASSERT_TRUE(written);
    EXPECT_EQ(jsonText(*written), locked);

    EXPECT_FALSE(desktop(R"({"session": null})")->sessionDictionary());
}

TEST(SimWorkspace, ApplicationsByPidAndBundle) {
    auto d = desktop(R"({"apps": [
      {"pid": 10, "name": "Chat", "bundle": "com.example.chat", "launchDate": 1765000000.25},
      {"pid": 11},
      {"pid": 12, "name": "Chat", "bundle": "com.example.chat"},
      {"pid": 10, "name": "Shadowed"}
    ], "frontmost": 12})");
    auto first = d->runningApplication(10);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "Chat");
    EXPECT_EQ(first->bundle, "com.example.chat");
    EXPECT_EQ(first->launchDate, 1765000000.25);

    auto bare = d->runningApplication(11);
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->name || bare->bundle || bare->launchDate);
    EXPECT_FALSE(d->runningApplication(13));

    auto chats = d->runningApplications("com.example.chat");
    ASSERT_EQ(chats.size(), 2u);
    EXPECT_EQ(chats[0].pid, 10);
    EXPECT_EQ(chats[1].pid, 12);
    EXPECT_TRUE(d->runningApplications("com.example").empty());

    EXPECT_EQ(d->frontmostApplication()->pid, 12);
    EXPECT_FALSE(desktop(R"({"frontmost": 4})")->frontmostApplication());
    EXPECT_FALSE(desktop("{}")->frontmostApplication());
}

TEST(SimWorkspace, ActivationAndUnhideAreLogged) {
    auto d = desktop(R"({"apps": [{"pid": 1}, {"pid": 2, "activates": false}, {"pid": 4}], "frontmost": 1})");
    EXPECT_FALSE(d->activate(2));
    EXPECT_FALSE(d->activate(3));
    EXPECT_EQ(d->frontmostApplication()->pid, 1);
    EXPECT_TRUE(d->activate(4));
    EXPECT_EQ(d->frontmostApplication()->pid, 4);
    EXPECT_TRUE(d->unhide(2));
    EXPECT_FALSE(d->unhide(3));
    EXPECT_EQ(eventLines(*d), eventLines({
                                  R"({"what":"activate","pid":2,"ok":false})",
                                  R"({"what":"activate","pid":3,"ok":false})",
                                  R"({"what":"activate","pid":4,"ok":true})",
                                  R"({"what":"unhide","pid":2})",
                                  R"({"what":"unhide","pid":3})",
                              }));
}

TEST(SimProcess, OwnIdsAndTemporaryDirectory) {
    auto real = desktop("{}");
    EXPECT_EQ(real->ownPid(), getpid());
    EXPECT_EQ(real->parentPid(), getppid());
    auto named = desktop(R"({"self": {"pid": 4000, "parentPid": 3999}})");
    EXPECT_EQ(named->ownPid(), 4000);
    EXPECT_EQ(named->parentPid(), 3999);

    for (auto [tmpdir, expected] :
         {std::pair{"/var/folders/xy/T", "/var/folders/xy/T/"}, std::pair{"/private/tmp/", "/private/tmp/"},
          std::pair<const char*, const char*>{nullptr, "/tmp/"}}) {
        testing::ScopedEnv variable("TMPDIR", tmpdir);
        EXPECT_EQ(real->temporaryDirectory(), expected);
    }
}

}  // namespace
}  // namespace quillgate::sim
