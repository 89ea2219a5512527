// Turning fractions of the bound window into a screen point, waiting out
// notifications and transient windows, and the user's idleness.

#include <gtest/gtest.h>

#include "service/failure.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"
#include "windows/pointer.h"

namespace quillgate {
namespace {

using testing::chatSceneWith;
using testing::chatWindow;
using testing::Harness;
using testing::listedWindow;

// The refusal message, or "" when a point was returned.
std::string refusal(Harness& h, const Window& w, const Value* x, const Value* y) {
    try {
        normalizedPoint(h.desktop(), w, x, y, false);
        return {};
    } catch (const GuardFailure& failure) {
        return failure.message;
    }
}

Point pointAt(Harness& h, const Window& w, Value x, Value y, bool ignoreOwnPopup = false) {
    return normalizedPoint(h.desktop(), w, &x, &y, ignoreOwnPopup);
}

std::string occluded(const std::string& occluder) { return std::string(msg::pointerOccluded) + occluder; }

TEST(NormalizedPoint, MapsZeroAndOneToTheFirstAndLastPointOfTheFrame) {
    Object scene = testing::chatScene();
    Harness h(scene);
    Window w = chatWindow();  // 900 x 600 at (100, 50)
    EXPECT_EQ(pointAt(h, w, 1, 1), (Point{999, 649}));
    EXPECT_EQ(pointAt(h, w, 0, 0.5), (Point{100, 349}));
    EXPECT_EQ(pointAt(h, w, 0.5, true), (Point{549, 649}));  // a boolean reads as a number
}

TEST(NormalizedPoint, RefusesFractionsOutsideTheClosedUnitRange) {
    Harness h(testing::chatScene());
    const Window w = chatWindow();
    const Value half = 0.5;
    for (const Value& bad : {Value(1.0000001), Value(-0.0001), Value("0.5"), Value(nullptr), Value(Array{})}) {
        EXPECT_EQ(refusal(h, w, &bad, &half), msg::invalidPointer);
        EXPECT_EQ(refusal(h, w, &half, &bad), msg::invalidPointer);
    }
    EXPECT_EQ(refusal(h, w, &half, nullptr), msg::invalidPointer);
}

TEST(NormalizedPoint, RefusesTheTitleBarButtonCornerOnly) {
    Harness h(testing::chatScene());
    const Window w = chatWindow();  // 899 and 599 steps across
    const Value zero = 0;
    EXPECT_EQ(refusal(h, w, &zero, &zero), msg::titleBarZone);
    const Value x83 = 83.5 / 899;
    const Value x84 = 84.5 / 899;
    const Value y29 = 29.5 / 599;
    const Value y30 = 30.5 / 599;
    EXPECT_EQ(refusal(h, w, &x83, &y29), msg::titleBarZone);
    EXPECT_EQ(refusal(h, w, &x84, &y29), "");
    EXPECT_EQ(refusal(h, w, &x83, &y30), "");
    EXPECT_TRUE(h.events().empty());
}

TEST(NormalizedPoint, WaitsForANotificationToLeave) {
    Object scene = chatSceneWith({listedWindow(70, 400, "NotificationCenter", {0, 0, 1920, 1080}, 23)});
    scene["timeline"] = testing::parseJson(R"([{"at": 1.2, "merge": {"windows": )" +
                                           testing::jsonText(testing::chatScene()["windows"]) + "}}]");
    scene["timeScale"] = 0.1;  // room for a slow machine below the whole wait
    Harness h(scene);
    const double start = h.desktop().monotonic();
    EXPECT_EQ(pointAt(h, chatWindow(), 0.5, 0.5), (Point{549, 349}));
    EXPECT_LT(h.desktop().monotonic() - start, 6);  // answered once it left, not after the whole wait
    EXPECT_TRUE(h.events().empty());
}

TEST(NormalizedPoint, RefusesANotificationThatStays) {
    Harness h(chatSceneWith({listedWindow(70, 400, "通知中心", {0, 0, 1920, 1080}, 23)}));
    const double start = h.desktop().monotonic();
    const Value half = 0.5;
    EXPECT_EQ(refusal(h, chatWindow(), &half, &half), occluded("通知中心 layer=23 size=1920x1080"));
    EXPECT_GE(h.desktop().monotonic() - start, 6);
    EXPECT_TRUE(h.events().empty());
}

Value tooltip() { return listedWindow(70, 501, "Chat", {520, 330, 100, 30}, 3); }

TEST(NormalizedPoint, MovesThePointerOnceToDismissATransientWindowOfTheBoundApplication) {
    Object scene = chatSceneWith({tooltip()});
    scene["timeline"] = testing::parseJson(R"([{"at": 0.5, "merge": {"windows": )" +
                                           testing::jsonText(testing::chatScene()["windows"]) + "}}]");
    Harness h(scene);
    EXPECT_EQ(pointAt(h, chatWindow(), 0.5, 0.5), (Point{549, 349}));
    auto events = h.events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(*events[0].find("what")->asString(), "mouse");
    EXPECT_EQ(*events[0].find("type")->asNumber(), mouse::moved);
    EXPECT_EQ(*events[0].find("x")->asNumber(), 550);  // the window's centre, 40 % down
    EXPECT_EQ(*events[0].find("y")->asNumber(), 290);
    EXPECT_EQ(*events[0].find("button")->asNumber(), mouse::leftButton);
    EXPECT_EQ(events[0].find("clickState"), nullptr);
}

TEST(NormalizedPoint, RefusesATransientWindowThatStaysAfterOneMove) {
    Harness h(chatSceneWith({tooltip()}));
    const double start = h.desktop().monotonic();
    const Value half = 0.5;
    EXPECT_EQ(refusal(h, chatWindow(), &half, &half), occluded("Chat layer=3 size=100x30 same-app-transient"));
    EXPECT_GE(h.desktop().monotonic() - start, 3);
    EXPECT_EQ(h.events().size(), 1u);
}

TEST(NormalizedPoint, RefusesAtOnceWhatNeitherLeavesNorCanBeDismissed) {
    Object unreadable = testing::chatScene();
    unreadable["windows"] = nullptr;
    const Value half = 0.5;
    for (const auto& [scene, message] :
         {std::pair{unreadable, occluded("unknown")},
          std::pair{chatSceneWith({listedWindow(70, 777, "Viewer", {0, 0, 800, 600})}),
                    occluded("Viewer layer=0 size=800x600")}}) {
        Object realTime = scene;
        realTime["timeScale"] = 1;  // a wait would show as half a second
        Harness h(realTime);
        const double start = h.desktop().monotonic();
        EXPECT_EQ(refusal(h, chatWindow(), &half, &half), message);
        EXPECT_LT(h.desktop().monotonic() - start, 0.5);
        EXPECT_TRUE(h.events().empty());
    }
}

TEST(NormalizedPoint, PassesTheOwnPopupFlagToTheOcclusionTest) {
    Harness h(chatSceneWith({listedWindow(70, 501, "Chat", {350, 250, 400, 200})}));
    EXPECT_EQ(pointAt(h, chatWindow(), 0.5, 0.5, true), (Point{549, 349}));
    const Value half = 0.5;
    EXPECT_EQ(refusal(h, chatWindow(), &half, &half), occluded("Chat layer=0 size=400x200"));
}

double idleAfter(const char* since) {
    Object scene = testing::chatScene();
    scene["timeScale"] = 1;  // nothing waits; keep the clock near real time
    scene["input"] = testing::parseJson(std::string(R"({"since": )") + since + "}");
    Harness h(scene);
    return idle(h.desktop());
}

TEST(Idle, CountsKeysPointerPressesScrollingAndDragsButNotReleases) {
    EXPECT_GE(idleAfter("{}"), 3600 * 1000.0);
    for (const char* kind : {"keyDown", "keyUp", "mouseMoved", "leftMouseDown", "rightMouseDown", "scrollWheel",
                             "leftMouseDragged", "rightMouseDragged"}) {
        const double ms = idleAfter((std::string(R"({")") + kind + R"(": 0.25})").c_str());
        EXPECT_GE(ms, 250) << kind;
        EXPECT_LT(ms, 1250) << kind;
    }
    EXPECT_GE(idleAfter(R"({"leftMouseUp": 0})"), 3600 * 1000.0);
}

}  // namespace
}  // namespace quillgate
