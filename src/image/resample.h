#pragma once
// High-quality scaling of a picture to an exact size.

#include "platform/image.h"

namespace quillgate::image {

// The picture scaled (down or up) to exactly width x height pixels with a
// high-quality filter; the same size gives a copy. Throws
// std::invalid_argument when either picture would have no pixels.
Image resample(const Image& source, int width, int height);

}  // namespace quillgate::image
