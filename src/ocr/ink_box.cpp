#include "ink_box.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace lumascan {
namespace {

// How far a channel must differ from the background to count as ink:
// light-grey captions on white differ by about 90, their anti-aliased
// edges by less. Blank columns between words must not hold even the faint
// edge of a glyph.
constexpr int inkContrast = 48;
constexpr int faintContrast = 24;

int contrast(const std::uint8_t* pixel, const std::array<int, 3>& background) {
    int most = 0;
    for (int k = 0; k < 3; ++k) most = std::max(most, std::abs(pixel[k] - background[k]));
    return most;
}

std::array<int, 3> edgeMedian(const ColourImage& image, const PixelBox& area) {
    std::array<std::vector<int>, 3> channels;
    const auto add = [&](int x, int y) {
        const auto* p = image.pixel(x, y);
        for (int k = 0; k < 3; ++k) channels[k].push_back(p[k]);
    };
    for (int x = area.left; x < area.right; ++x) {
        add(x, area.top);
        add(x, area.bottom - 1);
    }
    for (int y = area.top; y < area.bottom; ++y) {
        add(area.left, y);
        add(area.right - 1, y);
    }
    std::array<int, 3> median{};
    for (int k = 0; k < 3; ++k) {
        auto& values = channels[k];
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        median[k] = values[values.size() / 2];
    }
    return median;
}

bool inside(const PixelBox& box, int x, int y) {
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

PixelBox inkBounds(const ColourImage& image, const PixelBox& area, const PixelBox& core,
                   const std::array<int, 3>& background) {
    const int w = area.width();
    const int h = area.height();
    std::vector<bool> ink(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ink[static_cast<std::size_t>(y) * w + x] =
                contrast(image.pixel(area.left + x, area.top + y), background) >= inkContrast;
        }
    }
    PixelBox bounds{area.right, area.bottom, area.left, area.top};
    std::vector<int> stack;
    std::vector<int> group;
    for (int start = 0; start < w * h; ++start) {
        if (!ink[start]) continue;
        // One 8-connected group of ink, kept when it lies wholly inside the
        // area or reaches into the core.
        ink[start] = false;
        stack.assign(1, start);
        group.clear();
        bool reachesCore = false;
        bool touchesEdge = false;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            group.push_back(i);
            const int x = i % w;
            const int y = i / w;
            reachesCore = reachesCore || inside(core, area.left + x, area.top + y);
            touchesEdge = touchesEdge || x == 0 || y == 0 || x == w - 1 || y == h - 1;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || !ink[ny * w + nx]) continue;
                    ink[ny * w + nx] = false;
                    stack.push_back(ny * w + nx);
                }
            }
        }
        if (touchesEdge && !reachesCore) continue;
        for (const int i : group) {
            const int x = area.left + i % w;
            const int y = area.top + i / w;
            bounds = {std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x + 1),
                      std::max(bounds.bottom, y + 1)};
        }
    }
    return bounds.right > bounds.left ? bounds : area;
}

}  // namespace

LineInk findLineInk(const ColourImage& image, const PixelBox& area, const PixelBox& core) {
    if (area.width() <= 0 || area.height() <= 0) return {area, {}};
    const auto background = edgeMedian(image, area);
    LineInk line{inkBounds(image, area, core, background), std::vector<bool>(area.width())};
    for (int y = line.bounds.top; y < line.bounds.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (contrast(image.pixel(x, y), background) >= faintContrast) line.columns[x - area.left] = true;
        }
    }
    return line;
}

}  // namespace lumascan
