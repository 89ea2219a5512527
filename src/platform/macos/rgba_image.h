#pragma once
// A Core Graphics image as the port's Image: 8-bit RGBA, premultiplied alpha,
// device RGB, rows top to bottom, at the image's own pixel size.

#include <CoreGraphics/CoreGraphics.h>

#include "platform/image.h"

namespace quillgate::macos {

// An empty Image (0 x 0) for no image, an image without pixels, or one that
// cannot be drawn.
Image rgbaImage(CGImageRef image);

}  // namespace quillgate::macos
