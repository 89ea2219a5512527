#include "text_regions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lumascan {
namespace {

constexpr float pixelThreshold = 0.3F;
constexpr float regionThreshold = 0.6F;
constexpr double unclipRatio = 1.5;
constexpr int minimumSide = 3;

struct Group {
    PixelBox bounds;
    double sum = 0;
    std::size_t count = 0;
};

// Flood-fills the group of `start`, clearing `open` as it goes.
Group collect(const TextProbabilityMap& map, std::vector<bool>& open, std::size_t start,
              std::vector<std::size_t>& stack) {
    const int w = map.width;
    Group group;
    group.bounds = {w, map.height, -1, -1};
    stack.assign(1, start);
    open[start] = false;
    while (!stack.empty()) {
        const std::size_t i = stack.back();
        stack.pop_back();
        const int x = static_cast<int>(i % w);
        const int y = static_cast<int>(i / w);
        group.bounds = {std::min(group.bounds.left, x), std::min(group.bounds.top, y),
                        std::max(group.bounds.right, x + 1), std::max(group.bounds.bottom, y + 1)};
        group.sum += map.probability[i];
        ++group.count;
        const auto visit = [&](bool inside, std::size_t next) {
            if (inside && open[next]) {
                open[next] = false;
                stack.push_back(next);
            }
        };
        visit(x > 0, i - 1);
        visit(x + 1 < w, i + 1);
        visit(y > 0, i - w);
        visit(y + 1 < map.height, i + w);
    }
    return group;
}

PixelBox grow(const PixelBox& core, int width, int height) {
    const double w = core.width();
    const double h = core.height();
    const int by = static_cast<int>(std::lround(w * h * unclipRatio / (2 * (w + h))));
    return {std::max(0, core.left - by), std::max(0, core.top - by),
            std::min(width, core.right + by), std::min(height, core.bottom + by)};
}

PixelBox united(const PixelBox& a, const PixelBox& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Same row: the cores overlap vertically by most of the lower one's height.
bool joinable(const TextRegion& a, const TextRegion& b) {
    const int overlap = std::min(a.core.bottom, b.core.bottom) - std::max(a.core.top, b.core.top);
    const bool sameRow = overlap * 3 >= std::min(a.core.height(), b.core.height()) * 2;
    const bool touching = a.box.left <= b.box.right && b.box.left <= a.box.right;
    return sameRow && touching;
}

void joinRows(std::vector<TextRegion>& regions) {
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < regions.size() && !joined; ++i) {
            for (std::size_t j = i + 1; j < regions.size() && !joined; ++j) {
                if (!joinable(regions[i], regions[j])) continue;
                auto& a = regions[i];
                const auto& b = regions[j];
                const double area = a.core.width() * a.core.height() + b.core.width() * b.core.height();
                a.score = static_cast<float>((a.score * a.core.width() * a.core.height() +
                                              b.score * b.core.width() * b.core.height()) / area);
                a.core = united(a.core, b.core);
                a.box = united(a.box, b.box);
                regions.erase(regions.begin() + static_cast<std::ptrdiff_t>(j));
                joined = true;
            }
        }
    }
}

}  // namespace

std::vector<TextRegion> findTextRegions(const TextProbabilityMap& map) {
    const auto size = static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height);
    std::vector<TextRegion> regions;
    if (map.width <= 0 || map.height <= 0 || map.probability.size() != size) return regions;
    std::vector<bool> open(size);
    for (std::size_t i = 0; i < size; ++i) open[i] = map.probability[i] > pixelThreshold;
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < size; ++i) {
        if (!open[i]) continue;
        const Group group = collect(map, open, i, stack);
        const float score = static_cast<float>(group.sum / static_cast<double>(group.count));
        if (group.bounds.width() < minimumSide || group.bounds.height() < minimumSide ||
            score < regionThreshold) {
            continue;
        }
        regions.push_back({group.bounds, grow(group.bounds, map.width, map.height), score});
    }
    joinRows(regions);
    return regions;
}

}  // namespace lumascan
