#pragma once
// One line of the doctor's report.

#include <optional>
#include <string>

namespace quillgate::doctor {

enum class Verdict { ok, warn, fail };

struct Finding {
    std::string check;              // what was looked at, e.g. "screen recording"
    Verdict verdict = Verdict::ok;
    std::string detail;             // what was found
    std::string advice;             // what to do; empty when nothing is to be done
    std::optional<double> ms;       // how long the timed part took
};

}  // namespace quillgate::doctor
