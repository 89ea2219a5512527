#include "ctc_decoder.h"

#include <algorithm>
#include <fstream>

namespace lumascan {

Charset Charset::load(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> characters;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        characters.push_back(line);
    }
    if (characters.empty()) return Charset({});
    return Charset(std::move(characters));
}

Charset::Charset(std::vector<std::string> characters) {
    if (characters.empty()) return;
    symbols_.reserve(characters.size() + 2);
    symbols_.emplace_back();
    for (auto& c : characters) symbols_.push_back(std::move(c));
    symbols_.emplace_back(" ");
}

std::vector<Glyph> decodeBestPath(const Tensor& probabilities, const Charset& charset) {
    std::vector<Glyph> glyphs;
    const auto& shape = probabilities.shape;
    if (shape.size() != 3 || shape[0] != 1 || charset.classes() == 0 ||
        static_cast<std::size_t>(shape[2]) != charset.classes() ||
        probabilities.data.size() != static_cast<std::size_t>(shape[1] * shape[2])) {
        return glyphs;
    }
    const auto classes = static_cast<std::size_t>(shape[2]);
    std::size_t previous = 0;
    for (std::int64_t step = 0; step < shape[1]; ++step) {
        const float* row = probabilities.data.data() + step * classes;
        const auto best = static_cast<std::size_t>(std::max_element(row, row + classes) - row);
        const int at = static_cast<int>(step);
        if (best != 0 && best == previous) glyphs.back().lastStep = at;
        if (best != 0 && best != previous) glyphs.push_back({charset.symbol(best), row[best], at, at});
        previous = best;
    }
    return glyphs;
}

}  // namespace lumascan
