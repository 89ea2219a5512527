#pragma once
// Simulated time as a fixed multiple of real time (clock.h).

#include <chrono>

#include "backends/sim/clock.h"

namespace quillgate::sim {

class ScaledClock final : public Clock {
public:
    explicit ScaledClock(double timeScale);

    double now() const override;
    void sleepUntil(double time) override;
    [[noreturn]] void blockForever() override;
    bool waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                   const std::function<bool()>& ready) override;
    // Real time passes anyway: nothing to hold.
    Platform::Helper helper() override { return nullptr; }

private:
    using Real = std::chrono::steady_clock;
    // The real instant at which simulated time has reached `time`.
    Real::time_point realTime(double time) const;

    Real::time_point start_;
    double scale_;
};

}  // namespace quillgate::sim
