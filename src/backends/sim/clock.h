#pragma once
// Simulated time: zero when the scene is loaded, in one of two modes the
// scene chooses.
//
// Scaled (the default): simulated time runs 1 / timeScale times as fast as
// real time, so that every wait of timeScale x its nominal length spans
// exactly its nominal length in simulated seconds. What finishes first in
// real time wins a race, so a busy machine can change the outcome.
//
// Virtual ("clock": "virtual"): simulated time stands still until every
// participant is waiting on the clock, then jumps to the earliest deadline
// any of them waits for. Waits cost no real time, and races resolve in
// simulated-time order whatever the machine's speed. The rule:
//
// - Participants: the thread that uses the desktop (the request thread), and
//   every thread that holds a helper handle (the capture race's screenshot
//   holds one from before it starts until its answer is handed over). No
//   other thread may wait on this clock.
// - A participant is waiting while it is in sleepUntil(), in blockForever()
//   (a screenshot that never answers: waiting with no deadline, so it never
//   holds the others up) or in waitUntil() while the condition it waits for
//   is false. Anything else it does, inside the desktop or out, holds time.
// - When all are waiting, time moves to the earliest deadline and every wait
//   due then ends, in no fixed order among themselves; waits with no
//   deadline end only when notified. If none has a deadline, time stays
//   until one is set or a condition is notified.
// - A waitUntil() ends when its condition holds after a notify, at once and
//   at the same simulated time, or when time reaches its deadline. To tell
//   a notified waiter from a blocked one the clock evaluates its ready()
//   under its lock from another thread; no participant may hold that lock
//   while it waits on the clock.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/platform.h"

namespace quillgate::sim {

class Clock {
public:
    virtual ~Clock() = default;

    // Simulated seconds since the scene was loaded.
    virtual double now() const = 0;
    // Blocks the calling thread until simulated time reaches `time`; returns
    // at once for a time that is past or not finite.
    virtual void sleepUntil(double time) = 0;
    // Blocks the calling thread for good, as a wait that nothing ends.
    [[noreturn]] virtual void blockForever() = 0;
    // Platform::waitUntil on this clock: until ready() holds or simulated time
    // reaches `deadline`; returns ready().
    virtual bool waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                           const std::function<bool()>& ready) = 0;
    // The handle a thread started for a participant holds (Platform::helper).
    virtual Platform::Helper helper() = 0;
};

// The clock a checked scene chooses.
std::shared_ptr<Clock> sceneClock(const Value& scene);

}  // namespace quillgate::sim
