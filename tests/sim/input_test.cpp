// Posted input: what the event log records, and how it changes the keys
// held down and the pointer.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::eventLines;
using testing::key;
using testing::mouseEvent;
using testing::scroll;

TEST(SimInput, PostedEventsAreLoggedExactly) {
    auto d = desktop("{}");
    EXPECT_TRUE(d->post(key(9, true, std::nullopt, 0x100000)));
    EXPECT_TRUE(d->post(key(9, false, 501)));
    KeyboardEvent returnKey = key(36, true, 501, 0);
    returnKey.source = EventSourceState::combinedSession;
    EXPECT_TRUE(d->post(returnKey));
    EXPECT_TRUE(d->post(mouseEvent(mouse::moved, {10.5, 20})));
    EXPECT_TRUE(d->post(mouseEvent(mouse::rightDown, {11, 21}, mouse::rightButton, 2)));
    EXPECT_TRUE(d->post(scroll(-3, {12, 22})));
    EXPECT_EQ(eventLines(*d), eventLines({
                                  R"({"what":"key","code":9,"down":true,"flags":1048576,"to":"hid"})",
                                  R"({"what":"key","code":9,"down":false,"flags":0,"to":501})",
                                  R"({"what":"key","code":36,"down":true,"flags":0,"to":501})",
                                  R"({"what":"mouse","type":5,"x":10.5,"y":20,"button":0})",
                                  R"({"what":"mouse","type":3,"x":11,"y":21,"button":1,"clickState":2})",
                                  R"({"what":"scroll","lines":-3,"x":12,"y":22})",
                              }));
}

TEST(SimInput, EventsThatCannotBeCreatedAreNotPosted) {
    auto d = desktop("{}");
    EXPECT_FALSE(d->post(mouseEvent(mouse::moved, {NAN, 0})));
    EXPECT_FALSE(d->post(scroll(1, {0, INFINITY})));
    EXPECT_TRUE(d->events().empty());
    EXPECT_EQ(d->pointerLocation(), (Point{0, 0}));
}

TEST(SimInput, KeyUpsReleaseHeldKeysButNotStuckOnes) {
    auto d = desktop(R"({"input": {"held": [55, 56, 55], "stuck": [58, 56]}})");
    auto down = [&](uint16_t code) { return d->keyDown(EventSourceState::hidSystem, code); };
    EXPECT_TRUE(down(55));
    EXPECT_TRUE(down(56));
    EXPECT_TRUE(down(58));  // stuck keys are down
    EXPECT_FALSE(down(59));

    for (uint16_t code : {55, 56, 58, 59}) d->post(key(code, false, 3));
    EXPECT_FALSE(down(55));
    EXPECT_TRUE(down(56));
    EXPECT_TRUE(down(58));
    // A posted key-down is the program's, not the user's holding a key.
    d->post(key(59, true));
    EXPECT_FALSE(down(59));
    EXPECT_FALSE(desktop("{}")->keyDown(EventSourceState::combinedSession, 0));
}

TEST(SimInput, MouseEventsMoveThePointer) {
    auto d = desktop(R"({"timeScale": 0.001, "input": {"pointer": [300, 400]},
                         "timeline": [{"at": 200, "merge": {"input": {"pointer": [1, 2]}}}]})");
    EXPECT_EQ(d->pointerLocation(), (Point{300, 400}));
    d->post(mouseEvent(mouse::leftDown, {640.5, 360}));
    EXPECT_EQ(d->pointerLocation(), (Point{640.5, 360}));
    d->post(scroll(2, {5, 5}));
    EXPECT_EQ(d->pointerLocation(), (Point{640.5, 360}));
    // The user moves it afterwards.
    d->sleep(200);
    EXPECT_EQ(d->pointerLocation(), (Point{1, 2}));
    EXPECT_EQ(desktop("{}")->pointerLocation(), (Point{0, 0}));
}

}  // namespace
}  // namespace quillgate::sim
