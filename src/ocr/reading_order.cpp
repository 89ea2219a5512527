#include "reading_order.h"

#include <algorithm>
#include <cstdlib>

namespace lumascan {
namespace {

bool sameRow(const PixelBox& a, const PixelBox& b) {
    const int centres = std::abs((a.top + a.bottom) - (b.top + b.bottom));  // twice the distance
    return centres < std::min(a.height(), b.height());
}

}  // namespace

void sortReadingOrder(std::vector<TextRegion>& lines) {
    std::ranges::stable_sort(lines, [](const TextRegion& a, const TextRegion& b) {
        return a.box.top + a.box.bottom < b.box.top + b.box.bottom;
    });
    // Boxes of one row may come in any order of their centres; insertion
    // sort by left edge within each run of same-row neighbours.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        for (std::size_t j = i; j > 0 && sameRow(lines[j - 1].box, lines[j].box) &&
                                lines[j].box.left < lines[j - 1].box.left;
             --j) {
            std::swap(lines[j - 1], lines[j]);
        }
    }
}

}  // namespace lumascan
