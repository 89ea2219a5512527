#include "image/png_scanlines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace quillgate::image::png {
namespace {

// Sixteen bytes at a time in plain C++ vector extensions, which the compiler
// keeps in SSE registers.
using Bytes16 = uint8_t __attribute__((vector_size(16)));

enum Filter : uint8_t { none = 0, sub = 1, up = 2, average = 3, paeth = 4 };

struct Pass {
    uint32_t x0, y0, dx, dy;
};
constexpr Pass wholePicture[] = {{0, 0, 1, 1}};
constexpr Pass adam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

std::span<const Pass> passes(const Header& h) {
    return h.interlaced ? std::span<const Pass>(adam7) : std::span<const Pass>(wholePicture);
}

uint32_t extent(uint32_t size, uint32_t start, uint32_t step) { return size > start ? (size - start + step - 1) / step : 0; }

unsigned channels(uint8_t colour) {
    switch (colour) {
        case rgb: return 3;
        case greyAlpha: return 2;
        case rgba: return 4;
        default: return 1;
    }
}

size_t rowBytes(const Header& h, uint32_t pixels) {
    return (size_t{pixels} * channels(h.colour) * h.depth + 7) / 8;
}

// Filters work on whole pixels of at least one byte.
size_t filterUnit(const Header& h) { return std::max<size_t>(1, channels(h.colour) * h.depth / 8); }

uint8_t paethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Reconstructs one row from its filtered bytes `in` and the reconstructed
// row above (`above`, zeros for a pass's first row) into `out`. `out` may
// start before `in` in the same buffer: every byte of `in` is read before
// the byte of `out` that could cover it is written.
bool unfilter(uint8_t filter, const uint8_t* in, const uint8_t* above, uint8_t* out, size_t size, size_t unit) {
    switch (filter) {
        case none:
            std::memmove(out, in, size);
            return true;
        case sub:
            for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(in[i] + (i >= unit ? out[i - unit] : 0));
            return true;
        case up: {
            size_t i = 0;
            for (; i + 16 <= size; i += 16) {
                Bytes16 a, b;
                std::memcpy(&a, in + i, 16);
                std::memcpy(&b, above + i, 16);
                a += b;
                std::memcpy(out + i, &a, 16);
            }
            for (; i < size; ++i) out[i] = static_cast<uint8_t>(in[i] + above[i]);
            return true;
        }
        case average:
            for (size_t i = 0; i < size; ++i) {
                const unsigned left = i >= unit ? out[i - unit] : 0;
                out[i] = static_cast<uint8_t>(in[i] + ((left + above[i]) >> 1));
            }
            return true;
        case paeth:
            for (size_t i = 0; i < size; ++i) {
                const int left = i >= unit ? out[i - unit] : 0, corner = i >= unit ? above[i - unit] : 0;
                out[i] = static_cast<uint8_t>(in[i] + paethPredictor(left, above[i], corner));
            }
            return true;
        default:
            return false;
    }
}

bool opaque(const uint8_t* rgbaBytes, size_t size) {
    Bytes16 all;
    std::memset(&all, 0xFF, sizeof all);
    size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        Bytes16 v;
        std::memcpy(&v, rgbaBytes + i, 16);
        all &= v;
    }
    uint8_t alpha = all[3] & all[7] & all[11] & all[15];
    for (i += 3; i < size; i += 4) alpha &= rgbaBytes[i];
    return alpha == 0xFF;
}

void premultiply(uint8_t* p, size_t size) {
    for (uint8_t* end = p + size; p != end; p += 4) {
        const unsigned a = p[3];
        if (a == 0xFF) continue;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * a + 127) / 255);
    }
}

// Premultiplies a reconstructed RGBA stretch unless it is all opaque, the
// usual case for window pictures.
void premultiplyTranslucent(uint8_t* p, size_t size) {
    if (!opaque(p, size)) premultiply(p, size);
}

unsigned sample(const uint8_t* row, size_t k, unsigned depth) {
    const size_t bit = k * depth;
    return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1u << depth) - 1);
}

unsigned sample16(const uint8_t* row, size_t k) { return unsigned{row[2 * k]} << 8 | row[2 * k + 1]; }

void put(uint8_t* out, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}

// One reconstructed row of samples to straight RGBA pixels `step` bytes
// apart. Sixteen-bit samples keep their high byte. A grey key is compared
// with the sample as stored, so a key outside the sample range matches
// nothing; an 8-bit colour key uses the low byte of each of its values.
void convert(const Header& h, const Colours& colours, const uint8_t* row, uint32_t pixels, uint8_t* out,
             size_t step) {
    const unsigned d = h.depth;
    const bool wide = d == 16;
    for (uint32_t k = 0; k < pixels; ++k, out += step) {
        switch (h.colour) {
            case grey: {
                const unsigned s = wide ? sample16(row, k) : sample(row, k, d);
                const uint8_t v = wide ? row[2 * k] : static_cast<uint8_t>(s * (255 / ((1u << d) - 1)));
                put(out, v, v, v, colours.keyed && colours.key[0] == s ? 0 : 0xFF);
                break;
            }
            case rgb: {
                bool keyed = colours.keyed;
                uint8_t c[3];
                for (unsigned i = 0; i < 3; ++i) {
                    const unsigned s = wide ? sample16(row, 3 * k + i) : row[3 * k + i];
                    keyed = keyed && (wide ? colours.key[i] : colours.key[i] & 0xFF) == s;
                    c[i] = wide ? row[6 * k + 2 * i] : row[3 * k + i];
                }
                put(out, c[0], c[1], c[2], keyed ? 0 : 0xFF);
                break;
            }
            case indexed:
                std::memcpy(out, colours.palette[sample(row, k, d)].data(), 4);
                break;
            case greyAlpha: {
                const size_t at = wide ? 4 * k : 2 * k, alpha = wide ? at + 2 : at + 1;
                put(out, row[at], row[at], row[at], row[alpha]);
                break;
            }
            default:  // rgba
                if (wide) put(out, row[8 * k], row[8 * k + 2], row[8 * k + 4], row[8 * k + 6]);
                else std::memcpy(out, row + 4 * k, 4);
        }
    }
}

}  // namespace

bool validFormat(uint8_t colour, uint8_t depth) {
    const bool small = depth == 1 || depth == 2 || depth == 4;
    switch (colour) {
        case grey: return small || depth == 8 || depth == 16;
        case indexed: return small || depth == 8;
        case rgb:
        case greyAlpha:
        case rgba: return depth == 8 || depth == 16;
        default: return false;
    }
}

size_t inflatedSize(const Header& header) {
    size_t total = 0;
    for (const Pass& p : passes(header)) {
        const uint32_t w = extent(header.width, p.x0, p.dx), h = extent(header.height, p.y0, p.dy);
        if (w > 0 && h > 0) total += size_t{h} * (1 + rowBytes(header, w));
    }
    return total;
}

bool isRgba8(const Header& header) { return header.colour == rgba && header.depth == 8 && !header.interlaced; }

bool reconstruct(const Header& header, const Colours& colours, uint8_t* scanlines, Image& image) {
    const size_t unit = filterUnit(header);
    const std::vector<uint8_t> zeros(rowBytes(header, header.width));
    uint8_t* line = scanlines;
    for (const Pass& p : passes(header)) {
        const uint32_t w = extent(header.width, p.x0, p.dx), h = extent(header.height, p.y0, p.dy);
        if (w == 0 || h == 0) continue;
        const size_t size = rowBytes(header, w);
        const uint8_t* above = zeros.data();
        for (uint32_t y = 0; y < h; ++y, line += size + 1) {
            uint8_t* row = line + 1;
            if (!unfilter(line[0], row, above, row, size, unit)) return false;
            convert(header, colours, row, w, image.row(static_cast<int>(p.y0 + y * p.dy)) + 4 * size_t{p.x0},
                    4 * size_t{p.dx});
            above = row;
        }
    }
    premultiplyTranslucent(image.rgba.data(), image.rgba.size());
    return true;
}

bool reconstructRgba8(const Header& header, uint32_t rows, uint8_t* scanlines, uint8_t* out) {
    const size_t stride = size_t{header.width} * 4;
    const std::vector<uint8_t> zeros(stride);
    for (size_t y = rows; y < header.height; ++y)
        if (scanlines[y * (stride + 1)] > paeth) return false;
    const uint8_t* above = zeros.data();
    for (size_t y = 0; y < rows; ++y) {
        const uint8_t* line = scanlines + y * (stride + 1);
        uint8_t* row = out + y * stride;
        if (!unfilter(line[0], line + 1, above, row, stride, 4)) return false;
        // The row above is premultiplied only now: until this row was
        // reconstructed from it, it had to keep the file's straight values.
        if (y > 0) premultiplyTranslucent(row - stride, stride);
        above = row;
    }
    if (rows > 0) premultiplyTranslucent(out + (rows - 1) * stride, stride);
    return true;
}

}  // namespace quillgate::image::png
