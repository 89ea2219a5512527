// A key is never posted while an input method composes: its candidate list or
// composition window on screen refuses "execute" keys, and only windows an
// input method shows count.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "core/values.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::Harness;
using testing::listedWindow;

constexpr int32_t inputMethodPid = 900;

// The chat scene with the input method's process and these of its windows.
Harness composing(std::vector<Value> windows, bool isInputMethod = true) {
    Object scene = testing::chatSceneWith(windows);
    scene["apps"].asArray()->push_back(
        Object{{"pid", inputMethodPid}, {"name", "ibus-ui-gtk3"}, {"inputMethod", isInputMethod}});
    return Harness(scene);
}

std::string enter(Harness& h) {
    const Object answer = h.call(Object{{"op", "execute"},
                                        {"bound", testing::chatBinding()},
                                        {"action", Object{{"kind", "key"}, {"key", "enter"}}}});
    return answer.size() == 1 && member(answer, "ok") ? "ok" : text(member(answer, "error"));
}

TEST(Composition, ACandidateListOnScreenRefusesKeysAndPostsNothing) {
    // Beside the composer, clear of the guarded window's header.
    Harness h = composing({listedWindow(80, inputMethodPid, "ibus-ui-gtk3", {300, 580, 327, 64}, 101)});
    EXPECT_EQ(enter(h), msg::inputMethodComposing);
    EXPECT_TRUE(h.events().empty());
}

TEST(Composition, OnlyAShownWindowOfAnInputMethodCounts) {
    // A point-sized connection window, a transparent one, one off screen, and
    // a candidate-sized window of an ordinary application.
    Value offScreen = listedWindow(83, inputMethodPid, "ibus-ui-gtk3", {300, 580, 327, 64}, 101);
    testing::at(offScreen, "kCGWindowIsOnscreen") = false;
    Harness idle = composing({listedWindow(81, inputMethodPid, "ibus-ui-gtk3", {0, 0, 1, 1}, 101),
                              listedWindow(82, inputMethodPid, "ibus-ui-gtk3", {300, 580, 327, 64}, 101, 0),
                              offScreen});
    EXPECT_EQ(enter(idle), "ok");
    Harness ordinary = composing({listedWindow(84, inputMethodPid, "Tip", {300, 580, 327, 64}, 101)}, false);
    EXPECT_EQ(enter(ordinary), "ok");
}

}  // namespace
}  // namespace quillgate
