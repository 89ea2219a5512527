#include "platform/sim/clock.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace quillgate::sim {

Clock::Clock(double timeScale) : start_(Real::now()), scale_(timeScale) {}

double Clock::now() const { return std::chrono::duration<double>(Real::now() - start_).count() / scale_; }

void Clock::sleepUntil(double time) const {
    if (!std::isfinite(time)) return;
    // Beyond a few years nothing is waiting any more; the bound keeps the
    // conversion to clock ticks in range.
    constexpr double longestWait = 1e8;
    // One tick past the rounded-up deadline keeps now() >= time despite the
    // rounding of the division in now().
    auto deadline =
        start_ +
        std::chrono::ceil<Real::duration>(std::chrono::duration<double>(std::min(time * scale_, longestWait))) +
        Real::duration(1);
    // sleep_until may wake early; simulated time must have reached the target
    // when this returns.
    while (Real::now() < deadline) std::this_thread::sleep_until(deadline);
}

}  // namespace quillgate::sim
