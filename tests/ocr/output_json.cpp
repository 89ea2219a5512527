#include "output_json.h"

#include <stdexcept>
#include <string_view>
#include <utility>

#include <simdjson.h>

namespace lumascan::testing {
namespace {

template <typename T>
T need(simdjson::simdjson_result<T> result, const char* what) {
    T value;
    if (std::move(result).get(value) != simdjson::SUCCESS) throw std::runtime_error(std::string("bad ") + what);
    return value;
}

std::array<std::array<double, 2>, 4> parseBox(simdjson::dom::element element) {
    const auto corners = need(element.get_array(), "box");
    if (corners.size() != 4) throw std::runtime_error("box needs four corners");
    std::array<std::array<double, 2>, 4> box{};
    std::size_t i = 0;
    for (const auto corner : corners) {
        const auto xy = need(corner.get_array(), "corner");
        if (xy.size() != 2) throw std::runtime_error("corner needs two numbers");
        box[i][0] = need(xy.at(0).get_double(), "x");
        box[i][1] = need(xy.at(1).get_double(), "y");
        ++i;
    }
    return box;
}

}  // namespace

std::vector<ParsedLine> parseOutput(const std::string& json) {
    simdjson::dom::parser parser;
    const auto lines = need(parser.parse(json).get_array(), "top-level array");
    std::vector<ParsedLine> parsed;
    for (const auto element : lines) {
        const auto object = need(element.get_object(), "line object");
        if (object.size() != 3) throw std::runtime_error("line needs exactly three keys");
        ParsedLine line;
        line.text = std::string(need(object["text"].get_string(), "text"));
        line.score = need(object["score"].get_double(), "score");
        if (line.score < 0 || line.score > 1) throw std::runtime_error("score outside 0..1");
        line.box = parseBox(need(object["box"], "box"));
        parsed.push_back(std::move(line));
    }
    return parsed;
}

}  // namespace lumascan::testing
