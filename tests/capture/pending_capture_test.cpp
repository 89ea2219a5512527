// The outstanding-screenshot count and its three states: idle, pending,
// blocked.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "capture/pending_capture.h"

namespace quillgate {
namespace {

struct State {
    bool pending;
    bool blocked;
    bool operator==(const State&) const = default;
};

State state(const PendingCapture& p) { return {p.pending(), p.blocked()}; }

constexpr State idle{false, false};
constexpr State pending{true, false};
constexpr State blocked{true, true};

TEST(PendingCapture, MovesBetweenIdlePendingAndBlocked) {
    PendingCapture p;
    EXPECT_EQ(state(p), idle);
    p.begin();
    EXPECT_EQ(state(p), pending);
    p.begin();
    p.blockTool();
    EXPECT_EQ(state(p), blocked);
    p.end();
    EXPECT_EQ(state(p), blocked) << "one screenshot is still outstanding";
    p.end();
    EXPECT_EQ(state(p), idle);
    p.begin();
    EXPECT_EQ(state(p), pending) << "the block was lifted with the last end";
}

TEST(PendingCapture, AToolFailureWithNothingOutstandingLeavesNoBlockBehind) {
    PendingCapture p;
    p.blockTool();
    p.begin();
    EXPECT_EQ(state(p), pending);
}

TEST(PendingCapture, SurplusEndsDoNotDriveTheCountBelowZero) {
    PendingCapture p;
    p.end();
    p.end();
    p.begin();
    EXPECT_EQ(state(p), pending);
    p.end();
    EXPECT_EQ(state(p), idle);
}

TEST(PendingCapture, BalancedBeginsAndEndsFromManyThreadsReturnToIdle) {
    PendingCapture p;
    p.begin();  // held throughout, so blockTool always takes
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < 20000; ++i) {
                p.begin();
                if (i % 100 == 0) p.blockTool();
                p.end();
            }
        });
    }
    go = true;
    for (auto& t : threads) t.join();
    EXPECT_EQ(state(p), blocked);
    p.end();
    EXPECT_EQ(state(p), idle);
}

}  // namespace
}  // namespace quillgate
