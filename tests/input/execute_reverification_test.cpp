// Actions re-verify the window after the guard: a frame that moved by a
// point cancels pointer actions, each click of a double click is checked
// again for moves and cover, and focus is proven again before each key.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "core/values.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::eventLines;
using testing::Harness;

// "ok" for {"ok":true}, otherwise the refusal's message.
std::string execute(Harness& h, std::string_view action) {
    const Object answer = h.call(
        Object{{"op", "execute"}, {"bound", testing::chatBinding()}, {"action", testing::parseJson(action)}});
    return answer.size() == 1 && member(answer, "ok") ? "ok" : text(member(answer, "error"));
}

// Window 60 of chatScene() with its frame's origin at (x, y).
Value chatWindowAt(double x, double y) {
    Value window = testing::chatScene()["windows"].asArray()->front();
    testing::at(testing::at(window, "kCGWindowBounds"), "X") = x;
    testing::at(testing::at(window, "kCGWindowBounds"), "Y") = y;
    return window;
}

Value windowsPatch(Array windows) { return Object{{"windows", std::move(windows)}}; }

// The guard passes with the window at (100, 50); a notification banner over
// the target holds the action in its wait until, at simulated second 2, the
// banner leaves and the window has moved to (x, y).
Harness movedDuringTheWait(double x, double y) {
    Object scene =
        testing::chatSceneWith({testing::listedWindow(70, 400, "NotificationCenter", {500, 300, 200, 100}, 23)});
    scene["timeline"] = Array{Object{{"at", 2}, {"merge", windowsPatch({chatWindowAt(x, y)})}}};
    return Harness(scene);
}

TEST(ExecuteReverification, AWindowMovedByOnePointCancelsEveryPointerKind) {
    for (const char* action : {
             R"({"kind": "move", "x": 0.5, "y": 0.5})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 1})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "middle", "count": 3})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 1, "direction": "down"})",
         }) {
        Harness h = movedDuringTheWait(101, 50);
        EXPECT_EQ(execute(h, action), msg::moved) << action;
        EXPECT_TRUE(h.events().empty()) << action;
    }
}

TEST(ExecuteReverification, AHalfPointMoveIsTheSameFrame) {
    Harness h = movedDuringTheWait(100, 50.5);
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 1, "direction": "down"})"), "ok");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what": "scroll", "lines": -1, "x": 549, "y": 349})"}));
}

// A double click on window 60 where the first press changes the window list.
std::string doubleClickChanging(Harness& h) {
    return execute(h, R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 2})");
}

Object reactingToTheFirstClick(Array windows) {
    Object scene = testing::chatScene();
    scene["reactions"] = Array{Object{{"on", Object{{"click", "left"}}}, {"merge", windowsPatch(std::move(windows))}}};
    return scene;
}

const std::vector<std::string>& firstClickOnly() {
    static const std::vector<std::string> lines = eventLines({
        R"({"what": "mouse", "type": 1, "x": 549, "y": 349, "button": 0, "clickState": 1})",
        R"({"what": "mouse", "type": 2, "x": 549, "y": 349, "button": 0, "clickState": 1})",
    });
    return lines;
}

TEST(ExecuteReverification, TheSecondClickIsRefusedWhenAWindowAppearedOverTheTarget) {
    Harness h(reactingToTheFirstClick(
        {testing::listedWindow(71, 777, "Viewer", {500, 300, 200, 100}), chatWindowAt(100, 50)}));
    EXPECT_EQ(doubleClickChanging(h), std::string(msg::targetOccluded) + "Viewer layer=0 size=200x100");
    EXPECT_EQ(eventLines(h), firstClickOnly());
}

TEST(ExecuteReverification, TheSecondClickIsRefusedWhenTheFirstMovedTheWindow) {
    Harness h(reactingToTheFirstClick({chatWindowAt(100, 49)}));
    EXPECT_EQ(doubleClickChanging(h), msg::moved);
    EXPECT_EQ(eventLines(h), firstClickOnly());
}

TEST(ExecuteReverification, FocusIsProvenAgainBeforeEachKeyGoesDown) {
    // The Return sent to the process hands the focus to another application
    // before the same key is pressed at the keyboard.
    Object scene = testing::chatScene();
    scene["reactions"] = Array{Object{{"on", Object{{"key", 36}}}, {"merge", Object{{"frontmost", nullptr}}}}};
    Harness h(scene);
    EXPECT_EQ(execute(h, R"({"kind": "key", "key": "enter"})"), msg::lostFocus);
    EXPECT_EQ(eventLines(h), eventLines({
                                 R"({"what": "key", "code": 36, "down": true, "flags": 0, "to": 501})",
                                 R"({"what": "key", "code": 36, "down": false, "flags": 0, "to": 501})",
                             }));
}

TEST(ExecuteReverification, AScrollIsRefusedOverAPointOnNoDisplay) {
    Object scene = testing::chatScene();  // window 60 at (100, 50), 900 x 600
    scene["displays"] = testing::parseJson("[[0, 0, 800, 1080]]");
    Harness h(scene);
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 1, "direction": "down"})"), "ok");
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0.9, "y": 0.5, "amount": 1, "direction": "down"})"),
              std::string(msg::pointerOccluded) + "offscreen");
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 0.9, "y": 0.5, "button": "left", "count": 1})"),
              std::string(msg::pointerOccluded) + "offscreen");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what": "scroll", "lines": -1, "x": 549, "y": 349})"}));
}

}  // namespace
}  // namespace quillgate
