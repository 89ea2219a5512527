#pragma once

#include <array>
#include <string>
#include <vector>

namespace lumascan::testing {

struct ParsedLine {
    std::string text;
    double score = 0;
    std::array<std::array<double, 2>, 4> box{};
};

// Parses a JSON array of result lines, insisting on the exact shape the
// program promises: objects with exactly "text" (string), "score" (number
// in 0..1) and "box" (four [x, y] number pairs). Throws std::runtime_error
// naming the first deviation.
std::vector<ParsedLine> parseOutput(const std::string& json);

}  // namespace lumascan::testing
