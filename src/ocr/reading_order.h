#pragma once

#include <vector>

#include "text_regions.h"

namespace lumascan {

// Sorts text lines as a person reads them, by their boxes: top to bottom,
// and lines of one row (vertical centres closer than half the lower box's
// height) left to right.
void sortReadingOrder(std::vector<TextRegion>& lines);

}  // namespace lumascan
