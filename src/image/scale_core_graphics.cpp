// Scaling on macOS: Core Graphics draws the picture into a bitmap of the new
// size at its high interpolation quality, the system's own scaler. Source
// and bitmap share one colour space and one pixel layout, so nothing is
// converted; the source bytes are read in place.

#include "image/scale.h"

#include <new>

#include "image/core_graphics.h"

namespace quillgate::image {

Image scale(const Image& source, int width, int height) {
    Image out = drawnImage(pictureOf(source).get(), width, height);
    if (out.width == 0) throw std::bad_alloc();  // with valid sizes, the only failure
    return out;
}

}  // namespace quillgate::image
