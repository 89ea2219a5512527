#include "backends/sim/virtual_clock.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace quillgate::sim {

constexpr double never = std::numeric_limits<double>::infinity();

// One thread waiting on the clock, registered for as long as it waits.
struct VirtualClock::Waiter {
    double deadline;
    // Set for a waitUntil(): what the timekeeper looks at, and wakes it with.
    std::condition_variable* condition = nullptr;
    std::mutex* mutex = nullptr;
    const std::function<bool()>* ready = nullptr;
    bool woken = false;  // counted at work again by the timekeeper
    int visits = 0;      // the timekeeper is using it with mutex_ released
};

class VirtualClock::Participant {
public:
    explicit Participant(std::shared_ptr<VirtualClock> clock) : clock_(std::move(clock)) {
        std::lock_guard hold(clock_->mutex_);
        ++clock_->working_;
        clock_->changed();
    }
    ~Participant() {
        std::lock_guard hold(clock_->mutex_);
        --clock_->working_;
        clock_->changed();
    }
    Participant(const Participant&) = delete;
    Participant& operator=(const Participant&) = delete;

private:
    std::shared_ptr<VirtualClock> clock_;
};

VirtualClock::VirtualClock() : timekeeper_([this] { keepTime(); }) {}

VirtualClock::~VirtualClock() {
    {
        std::lock_guard hold(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    timekeeper_.join();
}

double VirtualClock::now() const {
    std::lock_guard hold(mutex_);
    return now_;
}

void VirtualClock::sleepUntil(double time) {
    Lock lock(mutex_);
    if (!std::isfinite(time) || time <= now_) return;
    Waiter waiter{time};
    startWaiting(waiter);
    moved_.wait(lock, [&] { return now_ >= time; });
    stopWaiting(lock, waiter);
}

void VirtualClock::blockForever() {
    Lock lock(mutex_);
    Waiter waiter{never};
    startWaiting(waiter);
    for (;;) moved_.wait(lock);
}

bool VirtualClock::waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                             double deadline, const std::function<bool()>& ready) {
    if (std::isnan(deadline)) return ready();
    Waiter waiter{deadline, &condition, lock.mutex(), &ready};
    {
        Lock own(mutex_);
        if (deadline <= now_) {
            own.unlock();
            return ready();
        }
        startWaiting(waiter);
    }
    const auto due = [&] {
        std::lock_guard hold(mutex_);
        return now_ >= deadline;
    };
    // The timekeeper notifies under `lock`, so a deadline reached after the
    // check below still wakes the wait.
    while (!ready() && !due()) condition.wait(lock);
    // Leaving needs the timekeeper done with this waiter, and it may be
    // waiting for `lock` to look at it.
    lock.unlock();
    {
        Lock own(mutex_);
        stopWaiting(own, waiter);
    }
    lock.lock();
    return ready();
}

Platform::Helper VirtualClock::helper() { return std::make_shared<Participant>(shared_from_this()); }

void VirtualClock::startWaiting(Waiter& waiter) {
    waiters_.push_back(&waiter);
    --working_;
    // Below zero, a thread that is no participant waited (a thread working
    // for the desktop must hold a helper), and time would never move again.
    assert(working_ >= 0);
    changed();
}

void VirtualClock::stopWaiting(Lock& lock, Waiter& waiter) {
    moved_.wait(lock, [&] { return waiter.visits == 0; });
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &waiter));
    // A wait ended by a notify (or early) was not counted back by the timekeeper.
    if (!waiter.woken) ++working_;
    changed();
}

void VirtualClock::changed() {
    ++changes_;
    changed_.notify_all();
}

void VirtualClock::keepTime() {
    Lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || (working_ == 0 && !waiters_.empty()); });
        if (stopping_) return;
        const uint64_t seen = changes_;
        // A notified waiter has not left yet, but its condition holds: it is
        // at work, and time must wait for it.
        if (wakeReady(lock) || changes_ != seen) continue;
        double next = never;
        for (const Waiter* waiter : waiters_) next = std::min(next, waiter->deadline);
        if (next == never) {
            changed_.wait(lock, [&] { return stopping_ || changes_ != seen; });
            continue;
        }
        advance(lock, next);
    }
}

bool VirtualClock::wakeReady(Lock& lock) {
    std::vector<Waiter*> conditions;
    for (Waiter* waiter : waiters_)
        if (waiter->condition && !waiter->woken) conditions.push_back(waiter);
    std::vector<Waiter*> ready;
    visit(lock, conditions, [&](Waiter& waiter) {
        if (!(*waiter.ready)()) return;
        waiter.condition->notify_all();
        ready.push_back(&waiter);
    });
    for (Waiter* waiter : ready) {
        if (waiter->woken) continue;
        waiter->woken = true;
        ++working_;
    }
    return !ready.empty();
}

void VirtualClock::advance(Lock& lock, double to) {
    now_ = std::max(now_, to);
    std::vector<Waiter*> conditions;
    for (Waiter* waiter : waiters_) {
        if (waiter->woken || waiter->deadline > now_) continue;
        waiter->woken = true;
        ++working_;
        if (waiter->condition) conditions.push_back(waiter);
    }
    moved_.notify_all();
    visit(lock, conditions, [](Waiter& waiter) { waiter.condition->notify_all(); });
}

template <typename Visit>
void VirtualClock::visit(Lock& lock, const std::vector<Waiter*>& waiters, Visit visit) {
    if (waiters.empty()) return;
    for (Waiter* waiter : waiters) ++waiter->visits;
    lock.unlock();
    for (Waiter* waiter : waiters) {
        std::lock_guard hold(*waiter->mutex);
        visit(*waiter);
    }
    lock.lock();
    for (Waiter* waiter : waiters) --waiter->visits;
    moved_.notify_all();
}

}  // namespace quillgate::sim
