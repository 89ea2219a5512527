#pragma once
// Runs the real request service on a simulated desktop built from an
// in-memory scene, the way the host talks to the program: request lines in,
// response lines out, and the event log of what was posted.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "backends/sim/sim_platform.h"
#include "platform/value.h"
#include "service/request_service.h"

namespace quillgate::testing {

class Harness {
public:
    explicit Harness(const Object& scene);

    // The response line for one request line.
    std::string send(std::string_view line);
    // The response for one request object, parsed back.
    Object call(const Object& request);

    // Every event the program posted so far.
    std::vector<Value> events() const;

    // Lets simulated time pass until no screenshot is outstanding; false
    // when one still is after `seconds`.
    bool settle(double seconds);

    sim::SimPlatform& desktop() { return *desktop_; }
    RequestService& main() { return main_; }

private:
    std::shared_ptr<sim::SimPlatform> desktop_;
    RequestService main_;
};

// JSON text of a value, for building request lines.
std::string jsonText(const Value& value);
// A value from JSON text; fails the test when the text is not JSON.
Value parseJson(std::string_view text);

}  // namespace quillgate::testing
