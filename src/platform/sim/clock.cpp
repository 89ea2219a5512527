#include "platform/sim/clock.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace quillgate::sim {

Clock::Clock(double timeScale) : start_(Real::now()), scale_(timeScale) {}

double Clock::now() const { return std::chrono::duration<double>(Real::now() - start_).count() / scale_; }

void Clock::sleepUntil(double time) const {
    if (!std::isfinite(time)) return;
    const Real::time_point deadline = realTime(time);
    // sleep_until may wake early; simulated time must have reached the target
    // when this returns.
    while (Real::now() < deadline) std::this_thread::sleep_until(deadline);
}

Clock::Real::time_point Clock::realTime(double time) const {
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
