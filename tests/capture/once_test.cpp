// The one-shot resumer under real thread races: however the finishers
// interleave with each other and with the waiter, the waiter is resumed
// exactly once, with the first finisher's outcome.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "capture/once.h"
#include "core/failure.h"

namespace quillgate {
namespace {

TEST(Once, RacingFinishersResumeTheWaiterExactlyOnceWithTheWinner) {
    for (int round = 0; round < 300; ++round) {
        auto once = std::make_shared<Once<int>>();
        std::atomic<bool> go{false};
        std::atomic<int> winners{0};
        std::atomic<int> winner{-1};
        std::vector<std::thread> finishers;
        for (int i = 0; i < 4; ++i) {
            finishers.emplace_back([&, i] {
                while (!go.load()) std::this_thread::yield();
                // Odd finishers fail, as the timer does.
                const bool won = i % 2 ? once->finish(std::make_exception_ptr(std::runtime_error(std::to_string(i))))
                                       : once->finish(i);
                if (won) {
                    ++winners;
                    winner = i;
                }
            });
        }
        go = true;
        int got = -1;
        try {
            got = once->wait();
        } catch (const std::runtime_error& e) {
            got = std::stoi(e.what());
        }
        for (auto& t : finishers) t.join();
        ASSERT_EQ(winners.load(), 1) << "round " << round;
        ASSERT_EQ(got, winner.load()) << "round " << round;
    }
}

TEST(Once, KeepsTheFirstOutcomeForALateWaiterAndDropsTheRest) {
    Once<std::string> answered;
    EXPECT_TRUE(answered.finish(std::string("picture")));
    EXPECT_FALSE(answered.finish(std::make_exception_ptr(CaptureTimeout())));
    EXPECT_EQ(answered.wait(), "picture");
    EXPECT_FALSE(answered.finish(std::string("late picture")));

    Once<std::string> timedOut;
    EXPECT_TRUE(timedOut.finish(std::make_exception_ptr(CaptureTimeout())));
    EXPECT_FALSE(timedOut.finish(std::string("late picture")));
    EXPECT_THROW(timedOut.wait(), CaptureTimeout);
}

}  // namespace
}  // namespace quillgate
