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
#include "service/failure.h"

namespace quillgate {
namespace {

TEST(Once, RacingFinishersResumeTheWaiterExactlyOnceWithTheWinner) {
    constexpr int rounds = 300;
    constexpr int finishers = 4;
    for (int round = 0; round < rounds; ++round) {
        auto once = std::make_shared<Once<int>>();
        std::atomic<bool> go{false};
        std::atomic<int> winners{0};
        std::atomic<int> winner{-1};
        std::vector<std::thread> threads;
        for (int i = 0; i < finishers; ++i) {
            threads.emplace_back([&, i] {
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
        for (auto& t : threads) t.join();
        ASSERT_EQ(winners.load(), 1) << "round " << round;
        ASSERT_EQ(got, winner.load()) << "round " << round;
    }
}

TEST(Once, AWaiterArrivingLateStillGetsTheFirstOutcomeAndLaterOnesAreDropped) {
    Once<std::string> once;
    EXPECT_TRUE(once.finish(std::string("picture")));
    EXPECT_FALSE(once.finish(std::make_exception_ptr(CaptureTimeout())));
    EXPECT_FALSE(once.finish(std::string("late picture")));
    EXPECT_EQ(once.wait(), "picture");
}

TEST(Once, AnErrorReachesTheWaiterWithItsOwnType) {
    Once<int> once;
    std::thread timer([&] { once.finish(std::make_exception_ptr(CaptureTimeout())); });
    EXPECT_THROW(once.wait(), CaptureTimeout);
    timer.join();
    // Dropped, even though the waiter has already gone.
    EXPECT_FALSE(once.finish(1));
}

TEST(Once, FinisherMayOutliveTheWaiter) {
    // As with a screenshot answering after its request was answered: the
    // finisher holds its own reference and finishes into a settled Once.
    auto once = std::make_shared<Once<int>>();
    std::atomic<bool> release{false};
    std::thread late([once, &release] {
        while (!release.load()) std::this_thread::yield();
        EXPECT_FALSE(once->finish(2));
    });
    once->finish(1);
    EXPECT_EQ(once->wait(), 1);
    once.reset();
    release = true;
    late.join();
}

}  // namespace
}  // namespace quillgate
