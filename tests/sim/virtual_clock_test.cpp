// Virtual time: it moves only when every participant waits, straight to the
// earliest deadline, and stands still while any of them works. Each case
// would hang or read another time on a clock that ran with real time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;

constexpr std::string_view virtualScene = R"({"clock": "virtual"})";

TEST(VirtualClock, SleepersWakeInDeadlineOrderAtTheirDeadlines) {
    auto d = desktop(virtualScene);
    std::mutex lock;
    std::vector<std::pair<double, double>> woke;  // (asked, woke at)
    std::vector<std::thread> sleepers;
    for (double seconds : {50000.0, 2.0, 7.5}) {
        sleepers.emplace_back([&, seconds, helper = d->helper()] {
            d->sleep(seconds);
            std::lock_guard hold(lock);
            woke.emplace_back(seconds, d->monotonic());
        });
    }
    d->sleep(86400);
    EXPECT_EQ(d->monotonic(), 86400);
    for (auto& sleeper : sleepers) sleeper.join();
    EXPECT_EQ(woke, (std::vector<std::pair<double, double>>{{2, 2}, {7.5, 7.5}, {50000, 50000}}));
    EXPECT_EQ(d->now(), 1765000000 + 86400);
}

TEST(VirtualClock, ATimedWaitEndsAtItsDeadlineOrWhenNotifiedWithoutTimePassing) {
    auto d = desktop(virtualScene);
    std::mutex lock;
    std::condition_variable condition;
    bool ready = false;
    std::unique_lock hold(lock);
    EXPECT_FALSE(d->waitUntil(condition, hold, 2, [&] { return ready; }));
    EXPECT_EQ(d->monotonic(), 2);

    // The notifier hands its helper back while it still holds the lock, and
    // keeps it a moment, so every participant is waiting before the waiter
    // can run again: its condition, not its deadline, must end its wait.
    std::thread notifier([&, helper = d->helper()]() mutable {
        std::lock_guard set(lock);
        ready = true;
        condition.notify_one();
        helper.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    EXPECT_TRUE(d->waitUntil(condition, hold, 1000, [&] { return ready; }));
    EXPECT_EQ(d->monotonic(), 2);
    hold.unlock();
    notifier.join();
}

TEST(VirtualClock, AParticipantAtWorkHoldsTime) {
    auto d = desktop(virtualScene);
    std::atomic<bool> done = false;
    std::thread worker([&, helper = d->helper()]() mutable {
        // Real time passes while it works; simulated time must not.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(d->monotonic(), 0);
        done = true;
        helper.reset();
    });
    d->sleep(1);
    EXPECT_TRUE(done) << "time moved while a helper was at work";
    EXPECT_EQ(d->monotonic(), 1);
    worker.join();
}

TEST(VirtualClock, AScreenshotTakesItsDelayAndOneThatNeverAnswersHoldsNobodyUp) {
    const std::string scene = R"({"clock": "virtual", "windows": [
      {"kCGWindowNumber": 7, "kCGWindowOwnerPID": 70, "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 4, "Height": 3},
       "kCGWindowIsOnscreen": true}], "sck": {"delay": 2.5}})";
    auto d = desktop(scene);
    std::atomic<double> answered = -1;
    std::thread shot([&, helper = d->helper()] {
        EXPECT_EQ(d->screenshot(7, 4, 3).width, 4);
        answered = d->monotonic();
    });
    d->sleep(10);
    shot.join();
    EXPECT_EQ(answered, 2.5);

    auto hung = desktop(R"({"clock": "virtual", "sck": {"delay": null}})");
    std::thread([hung, helper = hung->helper()] { hung->screenshot(7, 4, 3); }).detach();
    hung->sleep(5);
    EXPECT_EQ(hung->monotonic(), 5);
    std::mutex lock;
    std::condition_variable condition;
    std::unique_lock hold(lock);
    EXPECT_FALSE(hung->waitUntil(condition, hold, 8, [] { return false; }));
    EXPECT_EQ(hung->monotonic(), 8);
}

}  // namespace
}  // namespace quillgate::sim
