// The outstanding-screenshot count and its three states: idle, pending,
// blocked.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "capture/pending_capture.h"

namespace quillgate {
namespace {

// "idle", "pending" or "blocked".
std::string state(const PendingCapture& p) { return p.blocked() ? "blocked" : p.pending() ? "pending" : "idle"; }

TEST(PendingCapture, MovesBetweenIdlePendingAndBlocked) {
    PendingCapture p;
    p.blockTool();  // nothing outstanding: leaves no block behind
    p.end();        // a surplus end does not drive the count below zero
    p.begin();
    EXPECT_EQ(state(p), "pending");
    p.begin();
    p.blockTool();
    EXPECT_EQ(state(p), "blocked");
    p.end();
    EXPECT_EQ(state(p), "blocked") << "one screenshot is still outstanding";
    p.end();
    EXPECT_EQ(state(p), "idle");
    p.begin();
    EXPECT_EQ(state(p), "pending") << "the last end lifted the block";
}

TEST(PendingCapture, BalancedBeginsAndEndsFromManyThreadsReturnToIdle) {
    PendingCapture p;
    p.begin();  // held throughout, so every blockTool takes
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
    EXPECT_EQ(state(p), "blocked");
    p.end();
    EXPECT_EQ(state(p), "idle");
}

}  // namespace
}  // namespace quillgate
