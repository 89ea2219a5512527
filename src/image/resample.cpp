#include "image/resample.h"

#include <stdexcept>

#include "image/scale.h"

namespace quillgate::image {

Image resample(const Image& source, int width, int height) {
    if (width < 1 || height < 1 || source.width < 1 || source.height < 1)
        throw std::invalid_argument("resample needs pictures of at least one pixel");
    if (source.width == width && source.height == height) return source;
    return scale(source, width, height);
}

}  // namespace quillgate::image
