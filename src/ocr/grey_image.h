#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include <leptonica/allheaders.h>

namespace lumascan {

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

// Decodes an encoded image into 8-bit greyscale. Colour pixels take their
// brightest channel: chat bubbles are tinted (green, blue, white) behind dark
// text, and the brightest channel lifts every tint close to white while the
// text stays dark, where luminance would leave a green bubble as dark as
// an avatar picture and let one global threshold swallow its text.
// Transparent areas become white. Null when the bytes are no image.
PixPtr decodeGrey(std::span<const std::byte> encoded);

}  // namespace lumascan
