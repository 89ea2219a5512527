#pragma once
// The screenshot tool's PNG as a window picture. On macOS the system decodes
// it (ImageIO, honouring the colour profile the tool embeds) and draws it into
// the same kind of bitmap as the screenshot service's pictures, so a region
// hashes the same whichever path took it. Elsewhere libspng decodes it and
// the resampler scales it.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/image.h"

namespace quillgate::image {

// The PNG drawn at exactly width x height pixels, scaled at high quality.
// Absent when the bytes do not decode as a picture; an empty Image (0 x 0)
// when it decodes but cannot be drawn at that size (a size below 1).
std::optional<Image> screenPicture(std::span<const uint8_t> png, int width, int height);

}  // namespace quillgate::image
