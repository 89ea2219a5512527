// Scaling on macOS: Core Graphics draws the picture into a bitmap of the new
// size at its high interpolation quality, the system's own scaler. Source
// and bitmap share one colour space and one pixel layout, so nothing is
// converted; the source bytes are read in place.

#include "image/resample.h"

#include <new>
#include <stdexcept>

#include "image/core_graphics.h"

namespace quillgate::image {

Image resample(const Image& source, int width, int height) {
    if (width < 1 || height < 1 || source.width < 1 || source.height < 1)
        throw std::invalid_argument("resample needs pictures of at least one pixel");
    if (source.width == width && source.height == height) return source;
    Image out = drawnImage(pictureOf(source).get(), width, height);
    if (out.width == 0) throw std::bad_alloc();  // with valid sizes, the only failure
    return out;
}

}  // namespace quillgate::image
