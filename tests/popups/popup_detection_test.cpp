// Which window over or beside the bound window counts as its popup or dialog.

#include <gtest/gtest.h>

#include "popups/popup_detection.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::at;
using testing::chatWindow;
using testing::Harness;
using testing::listedWindow;

constexpr int32_t ownPid = 4242;

Harness desktopWith(const Array& list) {
    Object scene{{"timeScale", 0.02}, {"self", Object{{"pid", ownPid}, {"parentPid", 1}}}, {"windows", list}};
    return Harness(scene);
}

// The chat window's entry, behind whatever the test puts in front.
Value boundEntry(const Window& bound) { return listedWindow(bound.id, bound.pid, "Chat", bound.rect); }

std::optional<uint32_t> popupId(const Window& bound, std::vector<Value> inFront) {
    inFront.push_back(boundEntry(bound));
    Harness h = desktopWith(inFront);
    auto popup = popupWindow(h.desktop(), bound);
    return popup ? std::optional<uint32_t>(popup->id) : std::nullopt;
}

// One window of another process over the chat window's middle.
Value over(Rect frame, const std::string& owner = "Other", double pid = 777, double layer = 0) {
    return listedWindow(70, pid, owner, frame, layer);
}

TEST(PopupWindow, AcceptsSizesFromTheMinimumToTheMaximumInclusive) {
    const Window bound = chatWindow();  // 900 x 600 at (100, 50)
    EXPECT_EQ(popupId(bound, {over({200, 100, 140, 140})}), 70u);
    EXPECT_EQ(popupId(bound, {over({200, 100, 139.9, 200})}), std::nullopt);
    EXPECT_EQ(popupId(bound, {over({200, 100, 200, 139.9})}), std::nullopt);
    EXPECT_EQ(popupId(bound, {over({200, 100, 760, 140})}), 70u);
    EXPECT_EQ(popupId(bound, {over({200, 100, 760.1, 140})}), std::nullopt);
    EXPECT_EQ(popupId(bound, {over({200, 0, 140, 980})}), 70u);
    EXPECT_EQ(popupId(bound, {over({200, 0, 140, 980.1})}), std::nullopt);
}

TEST(PopupWindow, LetsOnlyTheBoundProcessExceedTheHeightLimitAndOnlyByFortyPoints) {
    Window bound = chatWindow();
    bound.rect = Rect{0, 0, 1000, 970};
    EXPECT_EQ(popupId(bound, {over({100, 0, 200, 1000}, "Chat", bound.pid)}), 70u);
    EXPECT_EQ(popupId(bound, {over({100, 0, 200, 1010}, "Chat", bound.pid)}), 70u);
    EXPECT_EQ(popupId(bound, {over({100, 0, 200, 1010.5}, "Chat", bound.pid)}), std::nullopt);
    EXPECT_EQ(popupId(bound, {over({100, 0, 200, 1000})}), std::nullopt);
}

TEST(PopupWindow, RejectsWindowsOfSixtyPercentOfTheBoundAreaOrMore) {
    Window bound = chatWindow();
    bound.rect = Rect{0, 0, 1000, 500};
    EXPECT_EQ(popupId(bound, {over({0, 0, 600, 500})}), std::nullopt);
    EXPECT_EQ(popupId(bound, {over({0, 0, 599.9, 500})}), 70u);
}

TEST(PopupWindow, RequiresOpacityAndALowLayer) {
    const Window bound = chatWindow();
    const Rect frame{300, 200, 400, 300};
    Value transparent = over(frame);
    at(transparent, "kCGWindowAlpha") = 0;
    EXPECT_EQ(popupId(bound, {transparent}), std::nullopt);
    Value noAlpha = over(frame);
    noAlpha.asObject()->erase("kCGWindowAlpha");
    EXPECT_EQ(popupId(bound, {noAlpha}), 70u);

    EXPECT_EQ(popupId(bound, {over(frame, "Other", 777, 25)}), 70u);
    EXPECT_EQ(popupId(bound, {over(frame, "Other", 777, 25.9)}), 70u);  // truncated to 25
    EXPECT_EQ(popupId(bound, {over(frame, "Other", 777, 26)}), std::nullopt);
    Value noLayer = over(frame, "Other", 777, 99);
    noLayer.asObject()->erase("kCGWindowLayer");
    EXPECT_EQ(popupId(bound, {noLayer}), 70u);
}

TEST(PopupWindow, ExcludesSystemSurfacesByExactNameAndNotificationsByPrefix) {
    const Window bound = chatWindow();
    const Rect frame{300, 200, 400, 300};
    for (const char* owner : {"Dock", "程序坞", "Spotlight", "聚焦", "Window Server", "Control Center", "控制中心",
                              "NotificationCenter", "NotificationCenterUI", "UserNotificationCenter", "通知中心x"}) {
        EXPECT_EQ(popupId(bound, {over(frame, owner)}), std::nullopt) << owner;
    }
    for (const char* owner : {"Docker", "dock", "Spotlight Helper", "", "My NotificationCenter"}) {
        EXPECT_EQ(popupId(bound, {over(frame, owner)}), 70u) << owner;
    }
}

TEST(PopupWindow, NeverReturnsThisProgramsOwnWindowOrTheBoundWindow) {
    Window bound = chatWindow();
    EXPECT_EQ(popupId(bound, {over({300, 200, 400, 300}, "quillgate", ownPid)}), std::nullopt);

    // The list shows the bound window smaller than the binding knew it, small
    // enough to pass every other test.
    Value shrunk = listedWindow(bound.id, bound.pid, "Chat", {200, 100, 300, 300});
    Harness h = desktopWith({shrunk});
    EXPECT_FALSE(popupWindow(h.desktop(), bound));
    EXPECT_TRUE(overlapWindows(h.desktop(), bound).empty());
}

TEST(PopupWindow, ReturnsTheFrontMostOfTwoCandidatesAndSkipsWindowsThatDoNotOverlap) {
    const Window bound = chatWindow();  // x from 100 to 1000
    Value beside = listedWindow(71, 777, "Other", {1000, 100, 300, 300});  // touches the right edge only
    Value front = listedWindow(72, 777, "Other", {300, 200, 400, 300});
    Value back = listedWindow(73, 501, "Chat", {350, 250, 400, 300});
    EXPECT_EQ(popupId(bound, {beside, front, back}), 72u);
    EXPECT_EQ(popupId(bound, {beside}), std::nullopt);
}

TEST(OverlapWindows, SkipsIncompleteEntriesAndFillsDefaults) {
    const Window bound = chatWindow();
    Value bare = listedWindow(80, 777, "x", {200, 100, 50, 50});
    for (const char* key : {"kCGWindowOwnerName", "kCGWindowLayer", "kCGWindowAlpha"}) bare.asObject()->erase(key);
    Array list{bare};
    for (const char* key : {"kCGWindowOwnerPID", "kCGWindowNumber", "kCGWindowBounds"}) {
        Value incomplete = listedWindow(81, 777, "incomplete", {200, 100, 50, 50});
        incomplete.asObject()->erase(key);
        list.push_back(incomplete);
    }
    Value textualBounds = listedWindow(82, 777, "textual", {200, 100, 50, 50});
    at(at(textualBounds, "kCGWindowBounds"), "Width") = "50";
    list.push_back(textualBounds);
    Value typed = listedWindow(83, 777, "typed", {200, 100, 50, 50}, 3, 0.5);
    at(typed, "kCGWindowOwnerName") = 12;  // not a string
    list.push_back(typed);
    list.push_back(boundEntry(bound));
    Harness h = desktopWith(list);

    auto overlaps = overlapWindows(h.desktop(), bound);
    ASSERT_EQ(overlaps.size(), 2u);
    EXPECT_EQ(overlaps[0].id, 80u);
    EXPECT_EQ(overlaps[0].owner, "");
    EXPECT_EQ(overlaps[0].layer, 0);
    EXPECT_EQ(overlaps[0].alpha, 1.0);
    EXPECT_EQ(overlaps[0].pid, 777);
    EXPECT_EQ(overlaps[0].rect, (Rect{200, 100, 50, 50}));
    EXPECT_EQ(overlaps[1].id, 83u);
    EXPECT_EQ(overlaps[1].owner, "");
    EXPECT_EQ(overlaps[1].layer, 3);
    EXPECT_EQ(overlaps[1].alpha, 0.5);
}

TEST(OverlapWindows, IsEmptyForAnUnreadableList) {
    for (const char* list : {"null", "{}", "\"x\"", "[]"}) {
        Object scene{{"timeScale", 0.02}, {"windows", testing::parseJson(list)}};
        Harness h(scene);
        EXPECT_TRUE(overlapWindows(h.desktop(), chatWindow()).empty()) << list;
        EXPECT_FALSE(popupWindow(h.desktop(), chatWindow())) << list;
        EXPECT_FALSE(ownDialogWindow(h.desktop(), chatWindow())) << list;
    }
}

std::optional<uint32_t> dialogId(std::vector<Value> list) {
    const Window bound = chatWindow();
    list.push_back(boundEntry(bound));
    Harness h = desktopWith(list);
    auto dialog = ownDialogWindow(h.desktop(), bound);
    return dialog ? std::optional<uint32_t>(dialog->id) : std::nullopt;
}

TEST(OwnDialogWindow, FindsADialogSizedWindowOfTheBoundProcessAnywhere) {
    Value beside = listedWindow(90, 501, "Chat", {1200, 100, 400, 300});
    EXPECT_EQ(dialogId({beside}), 90u);
    EXPECT_EQ(popupId(chatWindow(), {beside}), std::nullopt);  // it does not overlap

    EXPECT_EQ(dialogId({listedWindow(90, 777, "Other", {1200, 100, 400, 300})}), std::nullopt);
    EXPECT_EQ(dialogId({listedWindow(90, 501, "Chat", {0, 0, 160, 160})}), 90u);
    EXPECT_EQ(dialogId({listedWindow(90, 501, "Chat", {0, 0, 159.9, 300})}), std::nullopt);
    EXPECT_EQ(dialogId({listedWindow(90, 501, "Chat", {0, 0, 900, 1100})}), 90u);
    EXPECT_EQ(dialogId({listedWindow(90, 501, "Chat", {0, 0, 900.5, 300})}), std::nullopt);
    EXPECT_EQ(dialogId({listedWindow(90, 501, "Chat", {0, 0, 400, 1100.5})}), std::nullopt);
    EXPECT_EQ(dialogId({listedWindow(90, 501, "Chat", {0, 0, 400, 300}, 26)}), std::nullopt);
    // Transparency does not matter here, and the front-most candidate wins.
    EXPECT_EQ(dialogId({listedWindow(91, 501, "Chat", {0, 0, 400, 300}, 0, 0),
                        listedWindow(92, 501, "Chat", {0, 0, 400, 300})}),
              91u);
}

TEST(OwnDialogWindow, NeverReturnsTheBoundWindow) {
    Window bound = chatWindow();
    bound.rect = Rect{100, 50, 400, 300};  // dialog-sized itself
    Harness h = desktopWith({boundEntry(bound)});
    EXPECT_FALSE(ownDialogWindow(h.desktop(), bound));
}

}  // namespace
}  // namespace quillgate
