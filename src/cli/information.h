#pragma once
// The modes that only describe the program: they start no desktop, so they
// answer even where the platform cannot come up.

#include <optional>
#include <string>
#include <vector>

namespace quillgate {

// Answers --help or --version given as the one and only argument, on
// standard output; returns the exit status, or nothing for any other
// command line.
std::optional<int> answerInformation(const std::vector<std::string>& arguments);

}  // namespace quillgate
