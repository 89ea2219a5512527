// Which window over or beside the bound window counts as its popup or dialog.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"
#include "windows/popup_detection.h"

namespace quillgate {
namespace {

using testing::at;
using testing::chatWindow;
using testing::Harness;
using testing::listedWindow;

constexpr int32_t ownPid = 4242;
constexpr std::optional<uint32_t> none;

// The popup and the dialog found with these windows in front of the bound window.
std::pair<std::optional<uint32_t>, std::optional<uint32_t>> found(Array list, const Window& bound = chatWindow()) {
    list.push_back(listedWindow(bound.id, bound.pid, "Chat", bound.rect));
    Harness h(Object{{"self", Object{{"pid", ownPid}, {"parentPid", 1}}}, {"windows", list}});
    auto popup = popupWindow(h.desktop(), bound);
    auto dialog = ownDialogWindow(h.desktop(), bound);
    return {popup ? std::optional(popup->id) : none, dialog ? std::optional(dialog->id) : none};
}

std::optional<uint32_t> popupId(Array list, const Window& bound = chatWindow()) { return found(list, bound).first; }
std::optional<uint32_t> dialogId(Rect frame, double pid = 501, double layer = 0) {
    return found({listedWindow(90, pid, "Chat", frame, layer)}).second;
}

// Window 70 of another process over the 900 x 600 chat window.
Value over(Rect frame, const std::string& owner = "Other", double pid = 777, double layer = 0) {
    return listedWindow(70, pid, owner, frame, layer);
}

TEST(PopupWindow, AppliesEveryLimitInclusivelyAndInListOrder) {
    EXPECT_EQ(popupId({over({200, 100, 140, 140})}), 70u);
    EXPECT_EQ(popupId({over({200, 100, 139.9, 200})}), none);
    EXPECT_EQ(popupId({over({200, 100, 760.1, 140})}), none);
    EXPECT_EQ(popupId({over({200, 0, 760, 980})}, Window{.id = 60, .rect = {0, 0, 1400, 1000}}), 70u);
    EXPECT_EQ(popupId({over({200, 0, 140, 980.1})}), none);
    // Only the bound process may be taller, by at most 40 points over the bound window.
    const Window tall{.id = 60, .pid = 501, .rect = {0, 0, 1000, 970}};
    EXPECT_EQ(popupId({over({100, 0, 200, 1010}, "Chat", 501)}, tall), 70u);
    EXPECT_EQ(popupId({over({100, 0, 200, 1010.5}, "Chat", 501)}, tall), none);
    EXPECT_EQ(popupId({over({100, 0, 200, 1000})}, tall), none);
    // Strictly less than 60 % of the bound window's area.
    const Window wide{.id = 60, .rect = {0, 0, 1000, 500}};
    EXPECT_EQ(popupId({over({0, 0, 600, 500})}, wide), none);
    EXPECT_EQ(popupId({over({0, 0, 599.9, 500})}, wide), 70u);

    const Rect frame{300, 200, 400, 300};
    Value defaults = over(frame, "Other", 777, 99);
    defaults.asObject()->erase("kCGWindowAlpha");
    defaults.asObject()->erase("kCGWindowLayer");
    EXPECT_EQ(popupId({defaults}), 70u);
    at(defaults, "kCGWindowAlpha") = 0;
    EXPECT_EQ(popupId({defaults}), none);
    EXPECT_EQ(popupId({over(frame, "Other", 777, 25.9)}), 70u);  // truncated to 25
    EXPECT_EQ(popupId({over(frame, "Other", 777, 26)}), none);
    EXPECT_EQ(popupId({over(frame, "quillgate", ownPid)}), none);
    for (const char* owner : {"Dock", "程序坞", "Spotlight", "Window Server", "控制中心", "NotificationCenterUI",
                              "UserNotificationCenter", "通知中心x"}) {
        EXPECT_EQ(popupId({over(frame, owner)}), none) << owner;
    }
    for (const char* owner : {"Docker", "dock", "", "My NotificationCenter"}) {
        EXPECT_EQ(popupId({over(frame, owner)}), 70u) << owner;
    }
    // The front-most candidate wins; one that only shares an edge does not overlap.
    EXPECT_EQ(popupId({listedWindow(71, 777, "Other", {1000, 100, 300, 300}), listedWindow(72, 777, "Other", frame),
                       listedWindow(73, 501, "Chat", frame)}),
              72u);
}

TEST(PopupWindow, NeverReturnsTheBoundWindowThoughTheListShowsItPopupSized) {
    Harness h(Object{{"windows", Array{listedWindow(60, 501, "Chat", {200, 100, 300, 300})}}});
    EXPECT_FALSE(popupWindow(h.desktop(), chatWindow()));
    EXPECT_FALSE(ownDialogWindow(h.desktop(), chatWindow()));
    EXPECT_TRUE(overlapWindows(h.desktop(), chatWindow()).empty());
}

TEST(OverlapWindows, SkipsIncompleteEntriesAndFillsDefaults) {
    Array list{listedWindow(80, 777, "x", {200, 100, 50, 50})};
    for (const char* key : {"kCGWindowOwnerName", "kCGWindowLayer", "kCGWindowAlpha"}) list[0].asObject()->erase(key);
    for (const char* key : {"kCGWindowOwnerPID", "kCGWindowNumber", "kCGWindowBounds"}) {
        list.push_back(listedWindow(81, 777, "incomplete", {200, 100, 50, 50}));
        list.back().asObject()->erase(key);
    }
    list.push_back(listedWindow(82, 777, "typed", {200, 100, 50, 50}, 3, 0.5));
    at(list.back(), "kCGWindowOwnerName") = 12;
    list.push_back(listedWindow(60, 501, "Chat", {100, 50, 900, 600}));
    Harness h(Object{{"windows", list}});
    auto overlaps = overlapWindows(h.desktop(), chatWindow());
    ASSERT_EQ(overlaps.size(), 2u);
    EXPECT_EQ((std::tuple{overlaps[0].id, overlaps[0].owner, overlaps[0].layer, overlaps[0].alpha}),
              (std::tuple{80u, "", 0, 1.0}));
    EXPECT_EQ((std::tuple{overlaps[1].id, overlaps[1].owner, overlaps[1].layer, overlaps[1].alpha}),
              (std::tuple{82u, "", 3, 0.5}));

    Harness unreadable(Object{{"windows", "x"}});
    EXPECT_TRUE(overlapWindows(unreadable.desktop(), chatWindow()).empty());
}

TEST(OwnDialogWindow, FindsADialogSizedWindowOfTheBoundProcessAnywhere) {
    const Rect beside{1200, 100, 400, 300};
    EXPECT_EQ(dialogId(beside), 90u);
    EXPECT_EQ(found({listedWindow(90, 501, "Chat", beside)}).first, none);  // no overlap, no popup
    EXPECT_EQ(dialogId(beside, 777), none);
    EXPECT_EQ(dialogId(beside, 501, 26), none);
    EXPECT_EQ(dialogId({0, 0, 160, 160}), 90u);
    EXPECT_EQ(dialogId({0, 0, 900, 1100}), 90u);
    EXPECT_EQ(dialogId({0, 0, 159.9, 300}), none);
    EXPECT_EQ(dialogId({0, 0, 900.5, 300}), none);
    EXPECT_EQ(dialogId({0, 0, 400, 1100.5}), none);
}

}  // namespace
}  // namespace quillgate
