#pragma once
// The scene's script: the timeline of patches at fixed simulated times and
// the reactions to what the program does. Both are taken when the scene is
// loaded; patches change the desktop, not the script.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/value.h"

namespace quillgate::sim {

// What is wrong with a reaction's "on" trigger, or nothing.
std::optional<std::string> triggerProblem(const Value& on);

class Script {
public:
    // The timeline and reactions of a checked scene.
    explicit Script(const Value& scene);

    // Applies every patch due at or before `now` to `scene`, earliest first
    // (ties in the order they were scheduled), and reports each with the
    // simulated time at which it took effect.
    using Applied = std::function<void(const Value& patch, double time)>;
    void applyDue(double now, Value& scene, const Applied& applied);

    // The program did something, described like a trigger ({"key": 36},
    // {"action": "AXPress", "element": "ok"}, ...). Every reaction whose
    // trigger matches and that has firings left schedules its patch.
    void happened(const Value& what, double now);

private:
    struct Patch {
        double due;
        Value merge;
    };
    struct Reaction {
        Value on;
        Value merge;
        double delay;
        int64_t timesLeft;
    };

    void schedule(double due, Value merge);

    std::vector<Patch> pending_;
    std::vector<Reaction> reactions_;
};

}  // namespace quillgate::sim
