#pragma once
// Core Graphics pictures as Images (macOS only): 8-bit RGBA, premultiplied
// alpha, device RGB, bytes R, G, B, A in memory (the layout the region hashes
// are taken of), rows top to bottom.

#include <CoreGraphics/CoreGraphics.h>

#include "platform/cf_ref.h"
#include "platform/image.h"

namespace quillgate::image {

// The picture drawn into a new width x height Image, scaled at Core Graphics'
// high interpolation quality when the sizes differ. Both capture paths (the
// screenshot service's picture and the tool's file) come through here, so
// their pixels are converted into the same colour space the same way. An empty Image (0 x 0)
// when there is no picture, a size is not positive, or the bitmap cannot be
// made.
Image drawnImage(CGImageRef picture, int width, int height);

// The picture at its own pixel size; empty as above, and for a picture
// without pixels or too large for an Image.
Image rgbaImage(CGImageRef picture);

}  // namespace quillgate::image
