// Simulated time: the scaled clock, and on the virtual one the timeline,
// the growing "since" values and the reactions to what the program does.
#include <gtest/gtest.h>

#include <thread>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::key;
using testing::mouseEvent;

std::optional<int32_t> frontPid(SimPlatform& d) {
    auto app = d.frontmostApplication();
    return app ? std::optional(app->pid) : std::nullopt;
}

TEST(SimClock, DateIsEpochPlusSimulatedTimeAndSleepsAdvanceIt) {
    auto d = desktop(R"({"timeScale": 0.001})");
    double before = d->monotonic();
    double date = d->now();
    double after = d->monotonic();
    EXPECT_GE(before, 0);
    EXPECT_GE(date - 1765000000, before);
    EXPECT_LE(date - 1765000000, after);

    d->sleep(3);
    EXPECT_GE(d->monotonic(), after + 3);

    auto custom = desktop(R"({"timeScale": 0.001, "epoch": 1000})");
    EXPECT_LT(custom->now(), 1000 + 1e5);
    EXPECT_GE(custom->now(), 1000);
}

TEST(SimClock, TimedWaitsEndAtTheSimulatedDeadlineOrAtOnceWhenNotified) {
    auto d = desktop(R"({"timeScale": 0.001})");
    std::mutex lock;
    std::condition_variable condition;
    bool ready = false;
    std::unique_lock hold(lock);
    const double deadline = d->monotonic() + 2;
    EXPECT_FALSE(d->waitUntil(condition, hold, deadline, [&] { return ready; }));
    EXPECT_GE(d->monotonic(), deadline);

    // A far deadline: only the notify ends it.
    std::thread notifier([&] {
        std::lock_guard set(lock);
        ready = true;
        condition.notify_one();
    });
    EXPECT_TRUE(d->waitUntil(condition, hold, d->monotonic() + 1e6, [&] { return ready; }));
    hold.unlock();
    notifier.join();
}

TEST(SimTimeline, AppliesPatchesInTimeOrderOnceTheirTimeHasCome) {
    auto d = desktop(R"({
      "clock": "virtual",
      "apps": [{"pid": 1}, {"pid": 2}, {"pid": 3}, {"pid": 4}],
      "frontmost": 1,
      "timeline": [
        {"at": 1000000, "merge": {"frontmost": 4}},
        {"at": 2, "merge": {"frontmost": 3}},
        {"at": 1, "merge": {"frontmost": 2, "cursorLevel": 7}},
        {"at": 2, "merge": {"cursorLevel": null}}
      ]
    })");
    d->sleep(0.999);
    EXPECT_EQ(frontPid(*d), 1);
    d->sleep(0.001);
    EXPECT_EQ(frontPid(*d), 2);
    EXPECT_EQ(d->cursorWindowLevel(), 7);
    d->sleep(1);
    // Entries at the same time apply in the order they are listed.
    EXPECT_EQ(frontPid(*d), 3);
    EXPECT_EQ(d->cursorWindowLevel(), 2147483630);
}

TEST(SimTimeline, SinceGrowsFromWhenTheSceneOrPatchSetIt) {
    auto d = desktop(R"({
      "clock": "virtual",
      "input": {"since": {"keyDown": 10, "keyUp": 11, "mouseMoved": 5, "leftMouseDown": 1, "rightMouseDown": 3,
                          "scrollWheel": 22, "leftMouseDragged": 6, "rightMouseDragged": 7, "leftMouseUp": 2}},
      "timeline": [{"at": 2, "merge": {"input": {"since": {"keyUp": 0}}}}]
    })");
    // Each kind's event-type number is its value here, so a mixed-up table shows.
    d->sleep(0.5);
    for (uint32_t type : {10u, 11u, 5u, 1u, 3u, 22u, 6u, 7u, 2u})
        EXPECT_EQ(d->secondsSinceLastEvent(EventSourceState::combinedSession, type), type + 0.5) << type;
    d->sleep(2.5);
    EXPECT_EQ(d->secondsSinceLastEvent(EventSourceState::combinedSession, eventType::keyUp), 1);
    EXPECT_EQ(d->secondsSinceLastEvent(EventSourceState::combinedSession, eventType::keyDown), 13);

    // Unset kinds default to an hour at load; posted events are not the user's.
    auto fresh = desktop(R"({"clock": "virtual"})");
    fresh->post(key(0, true));
    fresh->post(mouseEvent(mouse::leftDown, {5, 5}));
    EXPECT_EQ(fresh->secondsSinceLastEvent(EventSourceState::combinedSession, eventType::keyDown), 3600);
    EXPECT_EQ(fresh->secondsSinceLastEvent(EventSourceState::combinedSession, eventType::leftMouseDown), 3600);
}

TEST(SimReactions, FireAfterTheirDelayAtMostTimesTimes) {
    auto d = desktop(R"({
      "clock": "virtual",
      "apps": [{"pid": 7}, {"pid": 8}],
      "frontmost": 8,
      "reactions": [{"on": {"key": 36}, "delay": 5, "times": 2, "merge": {"frontmost": 7}}]
    })");
    auto pressReturn = [&] {
        d->post(key(36, true));
        d->post(key(36, false));
    };
    pressReturn();
    d->post(key(37, true));
    d->sleep(4.999);
    EXPECT_EQ(frontPid(*d), 8);
    d->sleep(0.001);
    EXPECT_EQ(frontPid(*d), 7);

    for (int round = 2; round <= 3; ++round) {
        ASSERT_TRUE(d->activate(8));
        pressReturn();
        d->sleep(5);
        // The second press fires again; the third finds the reaction spent.
        EXPECT_EQ(frontPid(*d), round == 2 ? 7 : 8) << round;
    }
}

TEST(SimReactions, TriggersMatchWhatTheProgramDid) {
    auto d = desktop(R"({
      "clock": "virtual",
      "apps": [{"pid": 5, "activates": false, "ax": {"children": [
        {"id": "ok", "AXRole": "AXButton"},
        {"id": "broken", "AXRole": "AXButton", "actions": {"AXPress": false}}
      ]}}],
      "reactions": [
        {"on": {"click": "right"}, "merge": {"input": {"held": [1]}}},
        {"on": {"click": "left"}, "merge": {"input": {"held": [2]}}},
        {"on": {"action": "AXPress", "element": "ok"}, "merge": {"input": {"held": [3]}}},
        {"on": {"action": "AXPress", "element": "broken"}, "merge": {"input": {"held": [4]}}},
        {"on": {"activate": 5}, "merge": {"input": {"held": [5]}}},
        {"on": {"tool": true}, "merge": {"input": {"held": [6]}}},
        {"on": {"sck": true}, "merge": {"input": {"held": [7]}}}
      ]
    })");
    auto heldAfter = [&](auto&& act) {
        act();
        for (uint16_t code = 1; code <= 7; ++code)
            if (d->keyDown(EventSourceState::hidSystem, code)) return int(code);
        return 0;
    };
    EXPECT_EQ(heldAfter([&] { d->post(mouseEvent(mouse::leftUp)); }), 0);
    EXPECT_EQ(heldAfter([&] { d->post(mouseEvent(mouse::rightDown)); }), 1);
    EXPECT_EQ(heldAfter([&] { d->post(mouseEvent(mouse::leftDown)); }), 2);
    auto button = [&](size_t i) {
        return d->copyAttribute(d->applicationElement(5), "AXChildren").value.asArray()->at(i);
    };
    EXPECT_EQ(heldAfter([&] { d->performAction(*button(0).asElement(), "AXPress"); }), 3);
    // A press that fails does not count as pressed.
    EXPECT_EQ(heldAfter([&] { d->performAction(*button(1).asElement(), "AXPress"); }), 3);
    // Asking to activate counts even when it fails.
    EXPECT_EQ(heldAfter([&] { EXPECT_FALSE(d->activate(5)); }), 5);
    EXPECT_EQ(heldAfter([&] { d->launch("/usr/sbin/screencapture", {"-x"}); }), 6);
    // On the test's own thread: joining a helper would hold time while it waits.
    EXPECT_THROW(d->screenshot(99, 10, 10), PlatformError);
    EXPECT_EQ(heldAfter([] {}), 7);
}

}  // namespace
}  // namespace quillgate::sim
