// What each kind of "execute" posts, exactly, and the guard that comes
// before the keystroke.

#include <gtest/gtest.h>

#include "input/execute_request.h"
#include "service/failure.h"
#include "support/event_lines.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::eventLines;
using testing::execute;
using testing::Harness;

TEST(ExecuteKinds, KeyPressesTheNamedKeyAndSendsReturnToTheBoundProcess) {
    Harness h(testing::chatScene());
    EXPECT_EQ(execute(h, R"({"kind": "key", "key": "enter"})"), "ok");
    EXPECT_EQ(execute(h, R"({"kind": "key", "key": "ctrl+v"})"), "ok");
    EXPECT_EQ(eventLines(h), eventLines({
                                 R"({"what": "key", "code": 36, "down": true, "flags": 0, "to": 501})",
                                 R"({"what": "key", "code": 36, "down": false, "flags": 0, "to": 501})",
                                 R"({"what": "key", "code": 36, "down": true, "flags": 0, "to": "hid"})",
                                 R"({"what": "key", "code": 36, "down": false, "flags": 0, "to": "hid"})",
                                 R"({"what": "key", "code": 9, "down": true, "flags": 1048576, "to": "hid"})",
                                 R"({"what": "key", "code": 9, "down": false, "flags": 1048576, "to": "hid"})",
                             }));
}

TEST(ExecuteKinds, MovePostsOneMovedEventAtTheTarget) {
    Harness h(testing::chatScene());  // window 60: 900 x 600 at (100, 50)
    EXPECT_EQ(execute(h, R"({"kind": "move", "x": 0.5, "y": 0.5})"), "ok");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what": "mouse", "type": 5, "x": 549, "y": 349, "button": 0})"}));
}

TEST(ExecuteKinds, ClickPostsADownUpPairPerClickNumberedByItsClickState) {
    Harness h(testing::chatScene());
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 1, "y": 1, "button": "right", "count": 1})"), "ok");
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 2})"), "ok");
    EXPECT_EQ(eventLines(h), eventLines({
                                 R"({"what": "mouse", "type": 3, "x": 999, "y": 649, "button": 1, "clickState": 1})",
                                 R"({"what": "mouse", "type": 4, "x": 999, "y": 649, "button": 1, "clickState": 1})",
                                 R"({"what": "mouse", "type": 1, "x": 549, "y": 349, "button": 0, "clickState": 1})",
                                 R"({"what": "mouse", "type": 2, "x": 549, "y": 349, "button": 0, "clickState": 1})",
                                 R"({"what": "mouse", "type": 1, "x": 549, "y": 349, "button": 0, "clickState": 2})",
                                 R"({"what": "mouse", "type": 2, "x": 549, "y": 349, "button": 0, "clickState": 2})",
                             }));
}

TEST(ExecuteKinds, ScrollPostsOneLineEventPositiveUpNegativeDown) {
    Harness h(testing::chatScene());
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 20, "direction": "up"})"), "ok");
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0.5, "y": 1, "amount": 3.0, "direction": "down"})"), "ok");
    EXPECT_EQ(eventLines(h), eventLines({
                                 R"({"what": "scroll", "lines": 20, "x": 549, "y": 349})",
                                 R"({"what": "scroll", "lines": -3, "x": 549, "y": 649})",
                             }));
}

// The header strip of chatScene()'s picture, pinned the way "bind-region" pins it.
Object guardedBinding() {
    Object bound = testing::chatBinding();
    bound["guard"] = Object{{"x", 0},
                            {"y", 0},
                            {"width", 900},
                            {"height", 56},
                            {"hash", "00a15aeebee6c82225e3c2762f04eb102aae98feb5d265aa8c3f4258b8b4505f"}};
    return bound;
}

TEST(ExecuteKinds, KeyRunsTheGuardASecondTimeRightBeforeTheKeystroke) {
    const char* content = R"({"what": "sck", "call": "content"})";
    const char* screenshot = R"({"what": "sck", "call": "screenshot", "windowID": 60, "width": 900, "height": 600})";
    Harness h(testing::chatScene());
    EXPECT_EQ(execute(h, R"({"kind": "key", "key": "tab"})", guardedBinding()), "ok");
    EXPECT_EQ(eventLines(h), eventLines({
                                 content,
                                 screenshot,
                                 content,
                                 screenshot,
                                 R"({"what": "key", "code": 48, "down": true, "flags": 0, "to": "hid"})",
                                 R"({"what": "key", "code": 48, "down": false, "flags": 0, "to": "hid"})",
                             }));

    // A name outside the table is refused only after that second guard.
    Harness refused(testing::chatScene());
    EXPECT_EQ(execute(refused, R"({"kind": "key", "key": "a"})", guardedBinding()), msg::keyNotPermitted);
    EXPECT_EQ(eventLines(refused), eventLines({content, screenshot, content, screenshot}));

    // Pointer kinds rely on their own re-verification instead.
    Harness moved(testing::chatScene());
    EXPECT_EQ(execute(moved, R"({"kind": "move", "x": 0.5, "y": 0.5})", guardedBinding()), "ok");
    EXPECT_EQ(eventLines(moved),
              eventLines({content, screenshot, R"({"what": "mouse", "type": 5, "x": 549, "y": 349, "button": 0})"}));
}

// Window 61 of the chat application, 400 x 200 over the middle of window 60.
Object sceneWithOwnPopup(int32_t pid = 501, const std::string& owner = "Chat") {
    return testing::chatSceneWith({testing::listedWindow(61, pid, owner, {350, 250, 400, 200})});
}

TEST(ExecutePopupOk, LetsEveryClickLandOnTheBoundApplicationsOwnPopup) {
    Harness h(sceneWithOwnPopup());
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 2, "popupOk": true})"),
              "ok");
    EXPECT_EQ(execute(h, R"({"kind": "move", "x": 0.5, "y": 0.5, "popupOk": 1})"), "ok");
    EXPECT_EQ(eventLines(h), eventLines({
                                 R"({"what": "mouse", "type": 1, "x": 549, "y": 349, "button": 0, "clickState": 1})",
                                 R"({"what": "mouse", "type": 2, "x": 549, "y": 349, "button": 0, "clickState": 1})",
                                 R"({"what": "mouse", "type": 1, "x": 549, "y": 349, "button": 0, "clickState": 2})",
                                 R"({"what": "mouse", "type": 2, "x": 549, "y": 349, "button": 0, "clickState": 2})",
                                 R"({"what": "mouse", "type": 5, "x": 549, "y": 349, "button": 0})",
                             }));
}

TEST(ExecutePopupOk, WithoutItOrForAnotherProcessThePopupCoversTheTarget) {
    const std::string covered = std::string(msg::pointerOccluded) + "Chat layer=0 size=400x200";
    Harness h(sceneWithOwnPopup());
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 1})"), covered);
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 1, "popupOk": "true"})"),
              covered);
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 1, "direction": "up", "popupOk": true})"),
              covered);  // scrolling never looks through a popup
    EXPECT_TRUE(h.events().empty());

    Harness other(sceneWithOwnPopup(777, "Viewer"));
    EXPECT_EQ(execute(other, R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 1, "popupOk": true})"),
              std::string(msg::pointerOccluded) + "Viewer layer=0 size=400x200");
    EXPECT_TRUE(other.events().empty());
}

}  // namespace
}  // namespace quillgate
