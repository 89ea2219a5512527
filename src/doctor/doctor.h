#pragma once
// `quillgate --doctor`: why automation does not work on this machine, one
// line per check with what to do. It only reads: it never posts input and
// never makes the system show a prompt.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "doctor/finding.h"
#include "platform/platform.h"

namespace quillgate::doctor {

enum class Format { text, json };

// The format that the command line asks the doctor for, when it does:
// --doctor alone, or --doctor --json.
std::optional<Format> requested(const std::vector<std::string>& arguments);

// Every check, in the order of the report, with capture bookkeeping of its own.
std::vector<Finding> examine(std::shared_ptr<Platform> platform);

// The report on standard output; the exit status: 0 when nothing is FAIL.
int report(const std::vector<Finding>& findings, Format format);

// A desktop that could not start is itself the finding.
std::vector<Finding> desktopUnavailable(const std::string& why);

}  // namespace quillgate::doctor
