#pragma once
// Simulated time: zero when the scene is loaded, running 1 / timeScale times
// as fast as real time, so that every wait of timeScale x its nominal length
// spans exactly its nominal length in simulated seconds.

#include <chrono>

namespace quillgate::sim {

class Clock {
public:
    explicit Clock(double timeScale);

    // Simulated seconds since the scene was loaded.
    double now() const;
    using Real = std::chrono::steady_clock;

    // Blocks the calling thread until simulated time reaches `time`.
    void sleepUntil(double time) const;
    // The real instant at which simulated time has reached `time`.
    Real::time_point realTime(double time) const;

private:
    Real::time_point start_;
    double scale_;
};

}  // namespace quillgate::sim
