#pragma once
// The event log as compact JSON lines without their times, so that tests
// compare what was posted exactly (order, types, fields) and a mismatch
// prints readably.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "support/harness.h"

namespace quillgate::testing {

// Every event the program posted so far, keys sorted, "t" left out (and
// checked to be a simulated time on the way).
std::vector<std::string> eventLines(const Harness& harness);
std::vector<std::string> eventLines(const sim::SimPlatform& desktop);

// Expected events written as JSON objects, normalised the same way.
std::vector<std::string> eventLines(std::initializer_list<std::string_view> expected);

}  // namespace quillgate::testing
