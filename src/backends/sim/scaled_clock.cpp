#include "backends/sim/scaled_clock.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace quillgate::sim {

ScaledClock::ScaledClock(double timeScale) : start_(Real::now()), scale_(timeScale) {}

double ScaledClock::now() const { return std::chrono::duration<double>(Real::now() - start_).count() / scale_; }

void ScaledClock::sleepUntil(double time) {
    if (!std::isfinite(time)) return;
    const Real::time_point deadline = realTime(time);
    // sleep_until may wake early; simulated time must have reached the target
    // when this returns.
    while (Real::now() < deadline) std::this_thread::sleep_until(deadline);
}

void ScaledClock::blockForever() {
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock lock(mutex);
    for (;;) never.wait(lock);
}

bool ScaledClock::waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                            const std::function<bool()>& ready) {
    if (std::isnan(deadline)) return ready();
    return condition.wait_until(lock, realTime(deadline), ready);
}

ScaledClock::Real::time_point ScaledClock::realTime(double time) const {
    // Beyond a few years nothing is waiting any more; the bound keeps the
    // conversion to clock ticks in range.
    constexpr double longestWait = 1e8;
    // One tick past the rounded-up deadline keeps now() >= time despite the
    // rounding of the division in now().
    return start_ +
           std::chrono::ceil<Real::duration>(
               std::chrono::duration<double>(std::clamp(time * scale_, 0.0, longestWait))) +
           Real::duration(1);
}

}  // namespace quillgate::sim
