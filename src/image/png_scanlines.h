#pragma once
// The pixel half of PNG reading: inflated scanlines to premultiplied 8-bit
// RGBA. Filters are undone, samples widened or narrowed to 8 bits, the
// palette and colour key applied, and interlaced passes put in place. The
// container half (chunks, checksums, limits) is in png_decode.cpp.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/image.h"

namespace quillgate::image::png {

enum Colour : uint8_t { grey = 0, rgb = 2, indexed = 3, greyAlpha = 4, rgba = 6 };

struct Header {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t depth = 0;
    uint8_t colour = 0;
    bool interlaced = false;
};

// What the ancillary chunks say about colour: palette entries (straight
// RGBA, opaque black where the file gives none) and the colour key.
struct Colours {
    std::array<std::array<uint8_t, 4>, 256> palette{};
    bool keyed = false;
    uint16_t key[3] = {};  // grey in key[0], or red, green, blue

    Colours() {
        for (auto& entry : palette) entry[3] = 0xFF;
    }
};

// Whether the colour type and bit depth form a valid PNG pair.
bool validFormat(uint8_t colour, uint8_t depth);

// Bytes of the inflated image data: every row of every pass with its
// filter byte. The header must be valid and within the caller's limits.
size_t inflatedSize(const Header& header);

// 8-bit RGBA without interlacing: the form of window pictures, read by a
// faster path.
bool isRgba8(const Header& header);

// Reconstructs inflatedSize(header) bytes of scanlines into `image`, whose
// rows hold the header's width and height. False on an unknown filter type.
bool reconstruct(const Header& header, const Colours& colours, uint8_t* scanlines, Image& image);

// For isRgba8 pictures: reconstructs the top `rows` rows of the scanlines
// into `out`, packed; `out` may be the scanlines' own buffer, and each row then
// moves up into its final place. The rows below are only checked for a known
// filter type.
bool reconstructRgba8(const Header& header, uint32_t rows, uint8_t* scanlines, uint8_t* out);

}  // namespace quillgate::image::png
