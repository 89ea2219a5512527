// What "execute" refuses, in which order, and that a refusal before the
// first event leaves the desktop untouched.

#include <gtest/gtest.h>

#include "input/execute_request.h"
#include "service/failure.h"
#include "service/values.h"

namespace quillgate {
namespace {

using testing::execute;
using testing::Harness;

TEST(ExecuteRefusals, NeedsAnActionObject) {
    Harness h(testing::chatScene());
    const Object answer = h.call(Object{{"op", "execute"}, {"bound", testing::chatBinding()}});
    EXPECT_EQ(text(member(answer, "error")), msg::actionRequired);
    for (const Value& action : {Value("click"), Value(Array{}), Value(nullptr), Value(1)}) {
        EXPECT_EQ(testing::executeAction(h, action), msg::actionRequired);
    }
    EXPECT_TRUE(h.events().empty());
}

TEST(ExecuteRefusals, RefusesEveryKindButTheFourAsTextInput) {
    Harness h(testing::chatScene());
    for (const char* action : {R"({"kind": "type", "text": "hello"})", R"({"kind": "paste"})", R"({"kind": ""})",
                               R"({"kind": "Key", "key": "enter"})", R"({"kind": "CLICK", "x": 0.5, "y": 0.5})",
                               R"({"kind": " move", "x": 0.5, "y": 0.5})", R"({"kind": 1})", R"({})"}) {
        EXPECT_EQ(execute(h, action), msg::textInputUnsupported) << action;
    }
    EXPECT_TRUE(h.events().empty());
}

TEST(ExecuteRefusals, ClickNeedsALeftOrRightButtonAndOneOrTwoClicks) {
    Harness h(testing::chatScene());
    for (const char* action : {
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "middle", "count": 1})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "Left", "count": 1})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "count": 1})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 3})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 0})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": 1.5})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "left", "count": "2"})",
             R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "right"})",
         }) {
        EXPECT_EQ(execute(h, action), msg::invalidClick) << action;
    }
    EXPECT_TRUE(h.events().empty());
}

TEST(ExecuteRefusals, ReportsABadPointBeforeABadClick) {
    Harness h(testing::chatScene());
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": 0, "y": 0, "button": "middle", "count": 3})"), msg::titleBarZone);
    EXPECT_EQ(execute(h, R"({"kind": "click", "x": "0.5", "y": 0.5, "button": "left", "count": 3})"),
              msg::invalidPointer);
    EXPECT_EQ(execute(h, R"({"kind": "move", "y": 0.5})"), msg::invalidPointer);
    EXPECT_TRUE(h.events().empty());
}

TEST(ExecuteRefusals, ScrollNeedsAWholeAmountFromOneToTwentyAndUpOrDown) {
    Harness h(testing::chatScene());
    for (const char* action : {
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 21, "direction": "up"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 0, "direction": "up"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": -3, "direction": "down"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 2.5, "direction": "up"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": "3", "direction": "up"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "direction": "up"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 3, "direction": "UP"})",
             R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 3})",
         }) {
        EXPECT_EQ(execute(h, action), msg::invalidScroll) << action;
    }
    EXPECT_EQ(execute(h, R"({"kind": "scroll", "x": 0, "y": 0, "amount": 21, "direction": "up"})"), msg::titleBarZone);
    EXPECT_TRUE(h.events().empty());
}

TEST(ExecuteRefusals, NothingPassesAFailedGateOrMissingPermission) {
    Object unfocused = testing::chatScene();
    unfocused["frontmost"] = 900;
    Harness h(unfocused);
    EXPECT_EQ(execute(h, R"({"kind": "key", "key": "enter"})"), msg::lostFocus);
    EXPECT_EQ(execute(h, R"({"kind": "type", "text": "hello"})"), msg::lostFocus);

    Object untrusted = testing::chatScene();
    untrusted["accessibility"] = false;
    Harness denied(untrusted);
    EXPECT_EQ(execute(denied, R"({"kind": "move", "x": 0.5, "y": 0.5})"), msg::accessibilityPermission);
    for (const Value& event : denied.events()) EXPECT_EQ(*event.find("what")->asString(), "prompt");
    EXPECT_TRUE(h.events().empty());
}

}  // namespace
}  // namespace quillgate
