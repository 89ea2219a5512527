// Pointer input waits for nobody: while a mouse button is held, by the user or
// another program's drag, or another program holds the pointer grabbed, every
// pointer action is refused before anything is posted, and "input-idle" names
// the held buttons.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "core/values.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;

constexpr const char* pointerActions[] = {
    R"({"kind": "move", "x": 0.5, "y": 0.5})",
    R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 1})",
    R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "right", "count": 2})",
    R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 1, "direction": "down"})",
};

Harness withInput(std::string_view input) {
    Object scene = testing::chatScene();
    scene["input"] = testing::parseJson(input);
    return Harness(scene);
}

std::string execute(Harness& h, std::string_view action) {
    const Object answer = h.call(
        Object{{"op", "execute"}, {"bound", testing::chatBinding()}, {"action", testing::parseJson(action)}});
    return answer.size() == 1 && member(answer, "ok") ? "ok" : text(member(answer, "error"));
}

TEST(HeldPointer, AHeldButtonRefusesEveryPointerActionAndPostsNothing) {
    for (const char* action : pointerActions) {
        Harness h = withInput(R"({"buttons": [2, 1]})");
        EXPECT_EQ(execute(h, action), std::string(msg::buttonHeld) + "1,2") << action;
        EXPECT_TRUE(h.events().empty()) << action;
    }
}

TEST(HeldPointer, AnotherProgramsGrabRefusesEveryPointerActionAndPostsNothing) {
    for (const char* action : pointerActions) {
        Harness h = withInput(R"({"grab": true})");
        EXPECT_EQ(execute(h, action), msg::pointerGrabbed) << action;
        EXPECT_TRUE(h.events().empty()) << action;
    }
}

TEST(HeldPointer, KeysAreNotHeldUpByAButtonAndAFreePointerClicks) {
    Harness held = withInput(R"({"buttons": [0]})");
    EXPECT_EQ(execute(held, R"({"kind": "key", "key": "tab"})"), "ok");
    Harness free = withInput(R"({"buttons": [], "grab": false})");
    EXPECT_EQ(execute(free, pointerActions[1]), "ok");
}

TEST(HeldPointer, InputIdleNamesTheHeldButtonsBesideTheHeldKeys) {
    Harness h = withInput(R"({"held": [12], "buttons": [4, 0, 9]})");
    const Object answer = h.call(Object{{"op", "input-idle"}});
    EXPECT_EQ(testing::jsonText(*member(answer, "heldButtons")), "[0,4]");
    EXPECT_EQ(testing::jsonText(*member(answer, "heldKeys")), "[12]");
}

}  // namespace
}  // namespace quillgate
