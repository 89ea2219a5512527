// Turning fractions of the bound window into a screen point, and the user's
// idleness. The waits for notifications and transient windows are run end to
// end in the pointer transcripts.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"
#include "windows/pointer.h"
#include "support/refusal.h"

namespace quillgate {
namespace {

using testing::Harness;

// "x,y" of the point, or the refusal; a null value stands for a missing one.
std::string target(const Object& scene, Value x, Value y, bool ignoreOwnPopup = false) {
    Harness h(scene);
    std::string point;
    const std::string refused = testing::refusalOf([&] {
        Point p = normalizedPoint(h.desktop(), testing::chatWindow(), x.isNull() ? nullptr : &x,
                                  y.isNull() ? nullptr : &y, ignoreOwnPopup);
        point = std::to_string(int(p.x)) + "," + std::to_string(int(p.y));
    });
    EXPECT_TRUE(h.events().empty());
    return refused.empty() ? point : refused;
}

TEST(NormalizedPoint, MapsFractionsInsideTheFrameAndAvoidsTheTitleBarButtons) {
    const Object scene = testing::chatScene();  // 900 x 600 at (100, 50): 899 and 599 steps across
    EXPECT_EQ(target(scene, 1, 1), "999,649");
    EXPECT_EQ(target(scene, 0, 0.5), "100,349");
    EXPECT_EQ(target(scene, 0.5, true), "549,649");  // a boolean reads as a number
    EXPECT_EQ(target(scene, 0, 0), msg::titleBarZone);
    EXPECT_EQ(target(scene, 83.5 / 899, 29.5 / 599), msg::titleBarZone);
    EXPECT_EQ(target(scene, 84.5 / 899, 29.5 / 599), "184,79");
    EXPECT_EQ(target(scene, 83.5 / 899, 30.5 / 599), "183,80");
    for (const Value& bad : {Value(1.0000001), Value(-0.0001), Value("0.5"), Value(Array{}), Value(nullptr)}) {
        EXPECT_EQ(target(scene, bad, 0.5), msg::invalidPointer);
        EXPECT_EQ(target(scene, 0.5, bad), msg::invalidPointer);
    }
}

TEST(NormalizedPoint, RefusesAtOnceWhatNeitherLeavesNorCanBeDismissed) {
    Object scene = testing::chatSceneWith({testing::listedWindow(70, 777, "Viewer", {0, 0, 800, 600})});
    EXPECT_EQ(target(scene, 0.5, 0.5), std::string(msg::pointerOccluded) + "Viewer layer=0 size=800x600");
    scene["windows"] = nullptr;
    Harness h(scene);
    const Value half = 0.5;
    EXPECT_THROW(normalizedPoint(h.desktop(), testing::chatWindow(), &half, &half, false), GuardFailure);
    EXPECT_EQ(h.desktop().monotonic(), 0);
    EXPECT_EQ(target(scene, 0.5, 0.5), std::string(msg::pointerOccluded) + "unknown");
}

TEST(NormalizedPoint, PassesTheOwnPopupFlagToTheOcclusionTest) {
    const Object scene = testing::chatSceneWith({testing::listedWindow(70, 501, "Chat", {350, 250, 400, 200})});
    EXPECT_EQ(target(scene, 0.5, 0.5, true), "549,349");
    EXPECT_EQ(target(scene, 0.5, 0.5, false), std::string(msg::pointerOccluded) + "Chat layer=0 size=400x200");
}

double idleAfter(const std::string& since) {
    Object scene = testing::chatScene();
    scene["input"] = testing::parseJson(R"({"since": {)" + since + "}}");
    Harness h(scene);
    return idle(h.desktop());
}

TEST(Idle, CountsKeysPointerPressesScrollingAndDragsButNotReleases) {
    EXPECT_EQ(idleAfter(R"("leftMouseUp": 0)"), 3600 * 1000.0);
    for (const char* kind : {"keyDown", "keyUp", "mouseMoved", "leftMouseDown", "rightMouseDown", "scrollWheel",
                             "leftMouseDragged", "rightMouseDragged"}) {
        EXPECT_EQ(idleAfter(std::string("\"") + kind + "\": 0.25"), 250) << kind;
    }
}

}  // namespace
}  // namespace quillgate
