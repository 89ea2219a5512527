#pragma once
// The scaler behind resample(): stb_image_resize, Core Graphics on macOS.

#include "platform/image.h"

namespace quillgate::image {

// The picture scaled to width x height at high quality; both pictures have
// at least one pixel and differ in size. Throws std::bad_alloc when the
// scaler cannot get its memory.
Image scale(const Image& source, int width, int height);

}  // namespace quillgate::image
