// PNG reading of pictures from outside (the host's references, the screenshot
// tool's files). Written by hand because "bind-region" decodes a whole
// window on every request: a general PNG library spends most of a
// 2880x1800 decode in zlib and its checksum and then premultiplies pixels
// that are all opaque, while libdeflate inflates the whole stream at once
// into a buffer of the exact size the header implies
// (bench/image_bench.cpp).
//
// Everything is checked before it is used: every chunk's length and CRC,
// the header against the caller's limits before any pixel memory, the chunk
// order, and an image stream that must be one complete zlib stream of exactly
// the header's size with nothing after it. Ancillary chunks other than tRNS
// are framed and checksummed but not read.

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "image/large_allocator.h"
#include "image/png.h"
#include "image/png_scanlines.h"

namespace quillgate::image {
namespace {

using png::Colours;
using png::Header;

constexpr uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t maxLength = 0x7FFFFFFF;  // chunk lengths and picture sides
// Deflate cannot expand its input more than 1032 times; a stream shorter
// than that allows is refused before its output is allocated.
constexpr size_t maxInflateRatio = 1032;
// Scanline buffers above this are given back after use rather than kept.
constexpr size_t keptScanlineBytes = size_t{64} << 20;

uint32_t be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

constexpr uint32_t chunk(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
           uint8_t(name[3]);
}
constexpr uint32_t IHDR = chunk("IHDR"), PLTE = chunk("PLTE"), IDAT = chunk("IDAT"), IEND = chunk("IEND"),
                   tRNS = chunk("tRNS"), bKGD = chunk("bKGD");

// A chunk whose name starts with an upper-case letter must be understood.
bool critical(uint32_t type) { return (type & 0x20000000) == 0; }

struct InflaterFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

using Scanlines = std::vector<uint8_t, LargeAllocator<uint8_t>>;

// Kept per thread, so that a request does not allocate them again.
struct Scratch {
    std::unique_ptr<libdeflate_decompressor, InflaterFree> inflater{libdeflate_alloc_decompressor()};
    std::vector<uint8_t> stream;     // the IDAT chunks' data joined, when there are several
    Scanlines scanlines;             // inflated rows of pictures not reconstructed in place
};

Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

bool readHeader(const uint8_t* d, const DecodeLimits& limits, Header& h) {
    h.width = be32(d);
    h.height = be32(d + 4);
    h.depth = d[8];
    h.colour = d[9];
    h.interlaced = d[12] == 1;
    return h.width >= 1 && h.height >= 1 && h.width <= maxLength && h.height <= maxLength &&
           h.width <= static_cast<uint32_t>(limits.maxWidth) && h.height <= static_cast<uint32_t>(limits.maxHeight) &&
           int64_t{h.width} * h.height <= limits.maxPixels && png::validFormat(h.colour, h.depth) && d[10] == 0 &&
           d[11] == 0 && d[12] <= 1;
}

// The state of the chunks read so far.
class Chunks {
public:
    explicit Chunks(const Header& header) : header_(header) {}

    // A palette may come once, and not after the chunks that refer to it.
    bool palette(const uint8_t* d, uint32_t length) {
        if (entries_ > 0 || keyed_ || background_) return false;
        const uint32_t entries = length / 3;
        if (length == 0 || length % 3 != 0 || entries > 256) return false;
        if (header_.colour == png::indexed && entries > (1u << header_.depth)) return false;
        for (uint32_t i = 0; i < entries; ++i) std::memcpy(colours_.palette[i].data(), d + 3 * i, 3);
        entries_ = entries;
        return true;
    }

    // A transparency chunk that does not fit the picture is ignored, as is
    // any after the first that fits.
    void transparency(const uint8_t* d, uint32_t length) {
        if (keyed_ || length == 0) return;
        switch (header_.colour) {
            case png::grey:
                if (length != 2) return;
                colours_.key[0] = be16(d);
                colours_.keyed = true;
                break;
            case png::rgb:
                if (length != 6) return;
                for (int i = 0; i < 3; ++i) colours_.key[i] = be16(d + 2 * i);
                colours_.keyed = true;
                break;
            case png::indexed:
                if (length > entries_) return;
                for (uint32_t i = 0; i < length; ++i) colours_.palette[i][3] = d[i];
                break;
            default:
                return;
        }
        keyed_ = true;
    }

    // Only whether a fitting background colour came matters: a palette may
    // not follow it.
    void background(const uint8_t* d, uint32_t length) {
        switch (header_.colour) {
            case png::grey:
            case png::greyAlpha: background_ |= length == 2; break;
            case png::rgb:
            case png::rgba: background_ |= length == 6; break;
            default: background_ |= length == 1 && entries_ > 0 && d[0] < entries_;
        }
    }

    bool readyForData() const { return header_.colour != png::indexed || entries_ > 0; }
    const Colours& colours() const { return colours_; }

private:
    const Header& header_;
    Colours colours_;
    uint32_t entries_ = 0;
    bool keyed_ = false;
    bool background_ = false;
};

bool inflate(Scratch& s, std::span<const uint8_t> stream, uint8_t* out, size_t size) {
    size_t used = 0;
    return libdeflate_zlib_decompress_ex(s.inflater.get(), stream.data(), stream.size(), out, size, &used,
                                         nullptr) == LIBDEFLATE_SUCCESS &&
           used == stream.size();
}

// Inflates into `out`, which is resized to `size` when it is smaller.
bool inflateInto(Scratch& s, std::span<const uint8_t> stream, Scanlines& out, size_t size) {
    if (out.size() < size) out.resize(size);
    return inflate(s, stream, out.data(), size);
}

bool decodePixels(const Header& header, const Colours& colours, std::span<const uint8_t> stream, uint32_t rows,
                  Image& image) {
    Scratch& s = scratch();
    if (!s.inflater) return false;
    const size_t size = png::inflatedSize(header);
    if (size / maxInflateRatio > stream.size()) return false;
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(rows);
    const size_t bytes = image.stride() * rows;
    bool ok;
    if (png::isRgba8(header) && rows == header.height) {
        // The whole picture is reconstructed where it was inflated.
        image.rgba.resize(size);
        ok = inflate(s, stream, image.rgba.data(), size) &&
             png::reconstructRgba8(header, rows, image.rgba.data(), image.rgba.data());
    } else {
        ok = inflateInto(s, stream, s.scanlines, size);
        image.rgba.resize(png::isRgba8(header) ? bytes : image.stride() * header.height);
        ok = ok && (png::isRgba8(header) ? png::reconstructRgba8(header, rows, s.scanlines.data(), image.rgba.data())
                                         : png::reconstruct(header, colours, s.scanlines.data(), image));
    }
    if (s.scanlines.size() > keptScanlineBytes) Scanlines().swap(s.scanlines);
    image.rgba.resize(bytes);
    return ok;
}

}  // namespace

bool decodePngTop(std::span<const uint8_t> bytes, const DecodeLimits& limits, int rows, Image& image, int& height) {
    if (limits.maxWidth < 1 || limits.maxHeight < 1 || rows < 0) return false;
    if (bytes.size() < sizeof pngSignature || std::memcmp(bytes.data(), pngSignature, sizeof pngSignature) != 0)
        return false;
    const uint8_t* p = bytes.data() + sizeof pngSignature;
    const uint8_t* const end = bytes.data() + bytes.size();

    Header header;
    Chunks chunks(header);
    enum { start, beforeData, inData, afterData } stage = start;
    std::span<const uint8_t> stream;  // one IDAT's data, or all of them in the scratch buffer
    std::vector<uint8_t>& joined = scratch().stream;
    joined.clear();

    for (;;) {
        // Length, type, data, CRC; the CRC covers type and data.
        if (end - p < 12) return false;
        const uint32_t length = be32(p), type = be32(p + 4);
        if (length > maxLength || static_cast<size_t>(end - p - 12) < length) return false;
        const uint8_t* data = p + 8;
        if (libdeflate_crc32(0, p + 4, size_t{length} + 4) != be32(data + length)) return false;
        p = data + length + 4;

        if (stage == start) {
            if (type != IHDR || length != 13 || !readHeader(data, limits, header)) return false;
            stage = beforeData;
            continue;
        }
        if (type == IDAT) {
            // The image data is one run of IDAT chunks.
            if (stage == afterData || !chunks.readyForData()) return false;
            if (stage != inData) {
                stream = std::span(data, length);
            } else {
                if (joined.empty()) joined.assign(stream.begin(), stream.end());
                joined.insert(joined.end(), data, data + length);
            }
            stage = inData;
            continue;
        }
        if (stage == inData) {
            stage = afterData;
            if (!joined.empty()) stream = joined;
        }
        if (type == IEND) {
            // Whatever follows IEND is not part of the file.
            height = static_cast<int>(header.height);
            return stage == afterData && length == 0 &&
                   decodePixels(header, chunks.colours(), stream, std::min(header.height, static_cast<uint32_t>(rows)),
                                image);
        }
        if (type == PLTE) {
            if (!chunks.palette(data, length)) return false;
        } else if (type == tRNS) {
            if (stage == beforeData) chunks.transparency(data, length);
        } else if (type == bKGD) {
            if (stage == beforeData) chunks.background(data, length);
        } else if (critical(type)) {
            return false;  // a second IHDR, or one this reader does not know
        }
    }
}

bool decodePng(std::span<const uint8_t> bytes, const DecodeLimits& limits, Image& image) {
    int height = 0;
    return decodePngTop(bytes, limits, std::numeric_limits<int>::max(), image, height);
}

std::optional<Image> decodePng(std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    Image image;
    if (!decodePng(bytes, limits, image)) return std::nullopt;
    return image;
}

}  // namespace quillgate::image
