#pragma once
// Simulated time that moves only when every participant waits on it
// (clock.h has the rule). A timekeeper thread of its own moves it, so the
// threads that wait never have to wake one another.

#include <cstdint>
#include <thread>
#include <vector>

#include "backends/sim/clock.h"

namespace quillgate::sim {

class VirtualClock final : public Clock, public std::enable_shared_from_this<VirtualClock> {
public:
    VirtualClock();
    ~VirtualClock() override;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    double now() const override;
    void sleepUntil(double time) override;
    [[noreturn]] void blockForever() override;
    bool waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                   const std::function<bool()>& ready) override;
    // Counts one more participant, at work, until the handle is dropped.
    // The clock must be owned by a shared_ptr.
    Platform::Helper helper() override;

private:
    struct Waiter;
    class Participant;
    using Lock = std::unique_lock<std::mutex>;

    // Enters and leaves the waiting state; the caller holds mutex_.
    void startWaiting(Waiter& waiter);
    void stopWaiting(Lock& lock, Waiter& waiter);
    void changed();

    void keepTime();
    // Wakes the condition waiters whose condition holds; true if any did.
    bool wakeReady(Lock& lock);
    // Moves time to the earliest deadline and wakes the waits due then.
    void advance(Lock& lock, double to);
    // Runs `visit` on each condition waiter under its own lock, with mutex_
    // released meanwhile; the waiters stay registered until it is done.
    template <typename Visit>
    void visit(Lock& lock, const std::vector<Waiter*>& waiters, Visit visit);

    mutable std::mutex mutex_;
    std::condition_variable changed_;  // the timekeeper waits for a change here
    std::condition_variable moved_;    // waiters wait for time (or a visit's end) here
    double now_ = 0;
    int64_t working_ = 1;  // participants not waiting; the request thread to begin with
    uint64_t changes_ = 0;
    std::vector<Waiter*> waiters_;
    bool stopping_ = false;
    std::thread timekeeper_;
};

}  // namespace quillgate::sim
