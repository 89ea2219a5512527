// Proving that the bound window is still the bound window.

#include <gtest/gtest.h>

#include <cmath>

#include "core/failure.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "windows/accessibility.h"
#include "windows/verification.h"
#include "support/refusal.h"

namespace quillgate {
namespace {

using testing::at;
using testing::Harness;

// The refusal `current` gives, or "" when it verifies.
std::string refusal(const Object& scene, const Object& bound, bool focus = false) {
    Harness h(scene);
    return testing::refusalOf([&] { current(h.desktop(), binding(bound), focus); });
}

Object bindingWith(const std::string& key, Value value) {
    Object b = testing::chatBinding();
    if (value.isNull()) {
        b.erase(key);
    } else {
        b[key] = std::move(value);
    }
    return b;
}

TEST(Verification, AcceptsTheBoundWindowWithAndWithoutFocus) {
    EXPECT_EQ(refusal(testing::chatScene(), testing::chatBinding(), false), "");
    EXPECT_EQ(refusal(testing::chatScene(), testing::chatBinding(), true), "");
}

TEST(Verification, ReadsTheWindowNumberOnlyAsPositiveDecimalText) {
    Object scene = testing::chatScene();
    for (const char* ok : {"60", "+60", "060"}) EXPECT_EQ(refusal(scene, bindingWith("hwnd", ok)), "") << ok;
    for (Value bad : {Value(60), Value("0"), Value("-0"), Value("-60"), Value(" 60"), Value("60x"), Value(""),
                      Value("+"), Value("4294967356")}) {
        EXPECT_EQ(refusal(scene, bindingWith("hwnd", bad)), "selected window is unavailable");
    }
}

TEST(Verification, NamesWhatChangedInItsFixedOrder) {
    Object scene = testing::chatScene();
    EXPECT_EQ(refusal(scene, bindingWith("pid", "501")), "selected window identity changed; change=process");
    EXPECT_EQ(refusal(scene, bindingWith("process", "Chat2")), "selected window identity changed; change=process");
    EXPECT_EQ(refusal(scene, bindingWith("processStart", "1765000000.3")),
              "selected window identity changed; change=process");
    EXPECT_EQ(refusal(scene, bindingWith("title", "Chats")), "selected window identity or size changed; change=title");
    EXPECT_EQ(refusal(scene, bindingWith("width", 900.4)),
              "selected window identity or size changed; change=size 900x600->900x600");
    EXPECT_EQ(refusal(scene, bindingWith("height", nullptr)),
              "selected window identity or size changed; change=size 900x-1->900x600");

    Object wide = testing::chatScene();
    at(at(at(wide["windows"], 0), "kCGWindowBounds"), "Width") = 900.7;
    EXPECT_EQ(refusal(wide, testing::chatBinding()), "");

    // A new process instance is reported before a title change.
    Object both = testing::chatBinding();
    both["processStart"] = "1";
    both["title"] = "x";
    EXPECT_EQ(refusal(scene, both), "selected window identity changed; change=process");
}

TEST(Verification, RefusesAMinimisedWindowEvenWithoutFocus) {
    Object scene = testing::chatScene();
    at(at(scene["windows"], 0), "kCGWindowIsOnscreen") = false;
    EXPECT_EQ(refusal(scene, testing::chatBinding(), false), "selected window is minimized");
}

TEST(Verification, RequiresAUsableSessionBeforeReadingAnyWindow) {
    Object locked = testing::chatScene();
    locked["session"] = testing::parseJson(
        R"({"kCGSSessionOnConsoleKey": true, "kCGSessionLoginDoneKey": true, "CGSSessionScreenIsLocked": true})");
    EXPECT_EQ(refusal(locked, bindingWith("hwnd", "999")), "MAC_SESSION_UNAVAILABLE: 请解锁当前桌面。");
    for (const char* session : {"null", "{}", R"({"kCGSSessionOnConsoleKey": 1, "kCGSessionLoginDoneKey": true})",
                                R"({"kCGSSessionOnConsoleKey": true})"}) {
        Object scene = testing::chatScene();
        scene["session"] = testing::parseJson(session);
        EXPECT_EQ(refusal(scene, testing::chatBinding()), "MAC_SESSION_UNAVAILABLE: 请解锁当前桌面。") << session;
    }
    Object usable = testing::chatScene();
    usable["session"] = testing::parseJson(
        R"({"kCGSSessionOnConsoleKey": true, "kCGSessionLoginDoneKey": true, "CGSSessionScreenIsLocked": "yes"})");
    EXPECT_EQ(refusal(usable, testing::chatBinding()), "");

    Object untrusted = testing::chatScene();
    untrusted["accessibility"] = false;
    Harness h(untrusted);
    EXPECT_THROW(permissions(h.desktop()), GuardFailure);
    ASSERT_EQ(h.events().size(), 1u);  // the trust check asks with the system prompt
    EXPECT_EQ(*h.events()[0].find("what")->asString(), "prompt");
}

TEST(Verification, RequiresFocusOnlyWhenAsked) {
    const std::string lost = "selected window lost focus; action cancelled; focus_source=other";
    Object elsewhere = testing::chatScene();
    elsewhere["frontmost"] = 777;
    EXPECT_EQ(refusal(elsewhere, testing::chatBinding(), false), "");
    EXPECT_EQ(refusal(elsewhere, testing::chatBinding(), true), lost);

    Object noFocusedWindow = testing::chatScene();
    at(at(noFocusedWindow["apps"], 0), "ax").asObject()->erase("AXFocusedWindow");
    EXPECT_EQ(refusal(noFocusedWindow, testing::chatBinding(), true), lost);

    // An element that looks the same but is another element is not the focused window.
    Object lookalike = testing::chatScene();
    at(at(at(lookalike["apps"], 0), "ax"), "AXFocusedWindow") = testing::parseJson(
        R"({"AXRole": "AXWindow", "AXTitle": "Chat", "frame": [100, 50, 900, 600]})");
    EXPECT_EQ(refusal(lookalike, testing::chatBinding(), true), lost);
}

Object withAxWindows(const char* windowsJson) {
    Object scene = testing::chatScene();
    Value& ax = at(at(scene["apps"], 0), "ax");
    at(ax, "AXWindows") = testing::parseJson(windowsJson);
    ax.asObject()->erase("AXFocusedWindow");
    return scene;
}

std::string elementRefusal(const Object& scene) {
    Harness h(scene);
    return testing::refusalOf([&] { element(h.desktop(), selected(h.desktop(), "60")); });
}

TEST(Verification, MatchesTheAccessibilityWindowByTitleThenFrame) {
    // The one with the bound title and frame among two with the title.
    EXPECT_EQ(elementRefusal(withAxWindows(R"([
        {"AXTitle": "Chat", "frame": [400, 50, 900, 600]},
        {"AXTitle": "Chat", "frame": [100.5, 50, 900, 600]}])")), "");
    // A unique title is accepted even when its frame lags.
    EXPECT_EQ(elementRefusal(withAxWindows(R"([{"AXTitle": "Chat", "frame": [105, 50, 900, 600]}])")), "");
    EXPECT_EQ(elementRefusal(withAxWindows(R"([
        {"AXTitle": "Chat", "AXSubrole": "AXStandardWindow", "frame": [100, 50, 900, 600]},
        {"AXTitle": "Other", "frame": [100, 50, 900, 600]},
        {"AXTitle": "Chat", "frame": [100, 50, 900, 600]}])")),
              "MAC_WINDOW_AMBIGUOUS: 所选窗口身份不唯一。windows=3 sameTitle=2 matches=2 subroles=AXStandardWindow,");
    EXPECT_EQ(elementRefusal(withAxWindows(R"([])")),
              "MAC_WINDOW_AMBIGUOUS: 所选窗口身份不唯一。windows=0 sameTitle=0 matches=0 subroles=");
    EXPECT_EQ(elementRefusal(withAxWindows(R"({"error": -25204})")), "MAC_WINDOW_UNAVAILABLE: 无法核对所选窗口。");
    EXPECT_EQ(elementRefusal(withAxWindows(R"(["Chat"])")), "MAC_WINDOW_UNAVAILABLE: 无法核对所选窗口。");
}

TEST(Verification, NearMeansLessThanOnePointOnEveryEdge) {
    Rect r{100, 50, 900, 600};
    EXPECT_TRUE(near(r, Rect{100.999, 50, 900, 600}));
    EXPECT_FALSE(near(r, Rect{101, 50, 900, 600}));
    EXPECT_FALSE(near(r, Rect{100, 50, 900, 599}));
    EXPECT_FALSE(near(r, Rect{100, 50, 900, std::nan("")}));
    EXPECT_THROW(requireStableRect(r, Rect{100, 51, 900, 600}), GuardFailure);
}

}  // namespace
}  // namespace quillgate
