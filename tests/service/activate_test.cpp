// "activate": the binding verified first, never while the user is active,
// then activation, raising and a final verification.

#include <gtest/gtest.h>

#include "service/failure.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::at;
using testing::eventLines;
using testing::Harness;
using testing::parseJson;

Object activate(Object bound = testing::chatBinding()) { return Object{{"op", "activate"}, {"bound", bound}}; }

std::string refusal(Harness& h, Object bound = testing::chatBinding()) {
    Object answer = h.call(activate(std::move(bound)));
    const std::string* error = answer["error"].asString();
    return error ? *error : "";
}

// The chat window's entry with one key changed, as a merge patch restates it.
Value chatWindowWith(const std::string& key, Value value) {
    Value entry = at(testing::chatScene()["windows"], 0);
    at(entry, key) = std::move(value);
    return entry;
}

TEST(Activate, ActivatesRaisesAndAnswersTheVerifiedIdentity) {
    Harness h(testing::chatScene());
    const double start = h.desktop().monotonic();
    EXPECT_EQ(h.send(testing::jsonText(activate())),
              R"({"identity":{"height":600,"hwnd":"60","minimized":false,"pid":501,"process":"Chat",)"
              R"("processStart":"1765000000.25","title":"Chat","width":900},"ok":true})");
    EXPECT_GE(h.desktop().monotonic() - start, 0.3);  // the pauses after activating and raising
    EXPECT_EQ(eventLines(h), eventLines({R"({"ok":true,"pid":501,"what":"activate"})",
                                         R"({"action":"AXRaise","element":"main","ok":true,"what":"action"})"}));
}

TEST(Activate, UnhidesAndUnminimisesAWindowThatIsNotOnScreen) {
    Object scene = testing::chatScene();
    at(at(scene["windows"], 0), "kCGWindowIsOnscreen") = false;
    // The window comes back once raised.
    const Value onScreen = Array{chatWindowWith("kCGWindowIsOnscreen", true)};
    scene["reactions"] = Array{Object{{"on", Object{{"action", "AXRaise"}, {"element", "main"}}},
                                      {"merge", Object{{"windows", onScreen}}}}};
    Harness h(scene);
    Object answer = h.call(activate());
    EXPECT_EQ(testing::jsonText(answer["ok"]), "true");
    EXPECT_EQ(eventLines(h), eventLines({R"({"pid":501,"what":"unhide"})",
                                         R"({"ok":true,"pid":501,"what":"activate"})",
                                         R"({"attribute":"AXMinimized","element":"main","value":false,"what":"set"})",
                                         R"({"action":"AXRaise","element":"main","ok":true,"what":"action"})"}));
}

TEST(Activate, RefusesWhileTheUserIsActiveAndChangesNothing) {
    for (const char* kind : {"keyDown", "mouseMoved", "scrollWheel"}) {
        Object scene = testing::chatScene();
        scene["timeScale"] = 1;  // "since" grows with the clock; keep it near real time
        scene["input"] = parseJson(std::string(R"({"since": {")") + kind + R"(": 0.5}})");
        Harness h(scene);
        EXPECT_EQ(refusal(h), msg::lostFocus) << kind;
        EXPECT_TRUE(h.events().empty());
    }
}

TEST(Activate, ComparesTheBindingBeforeActingWithItsOwnMessages) {
    Harness h(testing::chatScene());
    Object bound = testing::chatBinding();
    bound.erase("pid");
    EXPECT_EQ(refusal(h, bound), msg::processChanged);
    bound = testing::chatBinding();
    bound["processStart"] = "1765000000.3";
    EXPECT_EQ(refusal(h, bound), msg::processChanged);
    bound = testing::chatBinding();
    bound["title"] = "Chats";
    EXPECT_EQ(refusal(h, bound), msg::identityOrSizeChanged);
    bound = testing::chatBinding();
    bound["height"] = "600";
    EXPECT_EQ(refusal(h, bound), msg::identityOrSizeChanged);
    bound = testing::chatBinding();
    bound["hwnd"] = "61";
    EXPECT_EQ(refusal(h, bound), msg::selectedUnavailable);
    EXPECT_TRUE(h.events().empty());

    // The window's width is truncated before the comparison.
    Object scene = testing::chatScene();
    at(at(at(scene["windows"], 0), "kCGWindowBounds"), "Width") = 800.5;
    Harness fractional(scene);
    bound = testing::chatBinding();
    bound["width"] = 800.5;
    EXPECT_EQ(refusal(fractional, bound), msg::identityOrSizeChanged);
    bound["width"] = 800;
    EXPECT_EQ(refusal(fractional, bound), "");
}

TEST(Activate, RefusesWithoutPermissionBeforeLookingAtTheWindow) {
    Object scene = testing::chatScene();
    scene["session"] = nullptr;
    Harness h(scene);
    Object bound = testing::chatBinding();
    bound["hwnd"] = "61";
    EXPECT_EQ(refusal(h, bound), msg::sessionUnavailable);
}

TEST(Activate, FailsWhenTheApplicationDoesNotActivateOrTheWindowDoesNotRaise) {
    Object scene = testing::chatScene();
    at(at(scene["apps"], 0), "activates") = false;
    Harness refused(scene);
    EXPECT_EQ(refusal(refused), msg::activateFailed);
    EXPECT_EQ(eventLines(refused), eventLines({R"({"ok":false,"pid":501,"what":"activate"})"}));

    scene = testing::chatScene();
    at(at(at(at(scene["apps"], 0), "ax"), "AXWindows"), 0).asObject()->emplace("actions", Object{{"AXRaise", false}});
    Harness stuck(scene);
    EXPECT_EQ(refusal(stuck), msg::activateFailed);
    EXPECT_EQ(eventLines(stuck), eventLines({R"({"ok":true,"pid":501,"what":"activate"})",
                                             R"({"action":"AXRaise","element":"main","ok":false,"what":"action"})"}));
}

TEST(Activate, VerifiesTheWindowAgainAfterRaisingIt) {
    Object scene = testing::chatScene();
    scene["reactions"] = Array{Object{{"on", Object{{"action", "AXRaise"}, {"element", "main"}}},
                                      {"merge", Object{{"windows", Array{chatWindowWith("kCGWindowName", "Other")}}}}}};
    Harness h(scene);
    EXPECT_EQ(refusal(h), msg::titleChanged);
}

}  // namespace
}  // namespace quillgate
