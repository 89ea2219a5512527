// The PNG writer is hand-made around Intel ISA-L's deflate instead of a PNG
// library call because "capture" encodes a full window on every request: for a
// 2880x1800 chat window libspng at its defaults takes about 370 ms, libpng
// about 260 ms (95 ms even at level 1 with the UP filter), while the UP filter
// with ISA-L at level 1 takes about 11 ms for output of about the same size
// (bench/image_bench.cpp). The container around the stream is a few fixed
// chunks, so little is written by hand.

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "image/png.h"

namespace quillgate::image {
namespace {

constexpr std::array<uint8_t, 8> pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t upFilter = 2;
constexpr size_t blockBytes = 256 * 1024;  // filtered rows handed to deflate at once
constexpr size_t idatBytes = 256 * 1024;   // deflate output per IDAT chunk

void put32(std::string& out, uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    out.append(bytes, 4);
}

void putChunk(std::string& out, const char (&type)[5], const uint8_t* data, size_t size) {
    put32(out, static_cast<uint32_t>(size));
    size_t start = out.size();
    out.append(type, 4);
    if (size > 0) out.append(reinterpret_cast<const char*>(data), size);
    put32(out, crc32_gzip_refl(0, reinterpret_cast<const uint8_t*>(out.data() + start), size + 4));
}

// Sixteen bytes at a time in plain C++ vector extensions: the compiler's own
// vectoriser does not take these loops at -O2, and they are half the cost.
using Bytes16 = uint8_t __attribute__((vector_size(16)));

// Writes the UP difference of a row (row bytes, not pixels) and tells whether
// every pixel in it is opaque.
bool filterUp(const uint8_t* current, const uint8_t* previous, uint8_t* out, size_t size) {
    Bytes16 all;
    std::memset(&all, 0xFF, sizeof all);
    size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        Bytes16 c, p;
        std::memcpy(&c, current + i, 16);
        std::memcpy(&p, previous + i, 16);
        const Bytes16 d = c - p;
        std::memcpy(out + i, &d, 16);
        all &= c;
    }
    uint8_t alpha = all[3] & all[7] & all[11] & all[15];
    for (; i < size; ++i) {  // whole pixels: rows are a multiple of 4 bytes
        out[i] = static_cast<uint8_t>(current[i] - previous[i]);
        if (i % 4 == 3) alpha &= current[i];
    }
    return alpha == 0xFF;
}

// PNG stores straight alpha. Rounding to nearest makes premultiplying again
// give back exactly the original bytes for every valid premultiplied pixel.
void unpremultiply(const uint8_t* in, uint8_t* out, int width) {
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
        const unsigned a = in[3];
        if (a == 0xFF) {
            std::memcpy(out, in, 4);
            continue;
        }
        for (int c = 0; c < 3; ++c)
            out[c] = a == 0 ? 0 : static_cast<uint8_t>(std::min(255u, (in[c] * 255u + a / 2) / a));
        out[3] = static_cast<uint8_t>(a);
    }
}

// Streams rows into one zlib stream and the stream into IDAT chunks.
class IdatWriter {
public:
    explicit IdatWriter(std::string& png) : png_(png), level_(ISAL_DEF_LVL1_DEFAULT), buffer_(idatBytes) {
        isal_deflate_init(stream_.get());
        stream_->level = 1;
        stream_->level_buf = level_.data();
        stream_->level_buf_size = static_cast<uint32_t>(level_.size());
        stream_->gzip_flag = IGZIP_ZLIB;
        resetOutput();
    }

    bool write(uint8_t* data, size_t size, bool last) {
        stream_->next_in = data;
        stream_->avail_in = static_cast<uint32_t>(size);
        stream_->end_of_stream = last;
        do {
            if (isal_deflate(stream_.get()) != COMP_OK) return false;
            if (stream_->avail_out == 0) flush();
        } while (stream_->avail_in > 0 || (last && stream_->internal_state.state != ZSTATE_END));
        if (last) flush();
        return true;
    }

private:
    void flush() {
        size_t used = buffer_.size() - stream_->avail_out;
        if (used > 0) putChunk(png_, "IDAT", buffer_.data(), used);
        resetOutput();
    }
    void resetOutput() {
        stream_->next_out = buffer_.data();
        stream_->avail_out = static_cast<uint32_t>(buffer_.size());
    }

    std::string& png_;
    std::unique_ptr<isal_zstream> stream_ = std::make_unique<isal_zstream>();  // ~80 KiB: off the stack
    std::vector<uint8_t> level_;
    std::vector<uint8_t> buffer_;
};

}  // namespace

std::string encodePng(const Image& image) {
    const int width = image.width;
    const int height = image.height;
    if (width < 1 || height < 1 || image.rgba.size() != image.stride() * static_cast<size_t>(height)) return {};

    std::string png(pngSignature.begin(), pngSignature.end());
    png.reserve(image.rgba.size() / 8);  // window captures compress to about a twentieth
    std::array<uint8_t, 13> ihdr = {};
    for (int i = 0; i < 4; ++i) {
        ihdr[i] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * i));
        ihdr[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * i));
    }
    ihdr[8] = 8;  // bits per channel
    ihdr[9] = 6;  // RGBA; compression, filter and interlace methods stay 0
    putChunk(png, "IHDR", ihdr.data(), ihdr.size());

    // Rows are filtered into a block that deflate consumes before the next
    // block is filled, so no full-size copy of the picture is ever made.
    // Straight-alpha rows are made only for rows with translucent pixels
    // (found while filtering, which is then redone); the previous row's
    // straight form is kept for the UP difference.
    const size_t stride = image.stride();
    const size_t rowsPerBlock = std::max<size_t>(1, blockBytes / (stride + 1));
    std::vector<uint8_t> block(rowsPerBlock * (stride + 1));
    std::array<std::vector<uint8_t>, 2> straight = {std::vector<uint8_t>(stride), std::vector<uint8_t>(stride)};
    const std::vector<uint8_t> zeros(stride);
    const uint8_t* previous = zeros.data();

    IdatWriter idat(png);
    uint8_t* out = block.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* current = image.row(y);
        *out++ = upFilter;
        if (!filterUp(current, previous, out, stride)) {
            uint8_t* converted = straight[y & 1].data();
            unpremultiply(current, converted, width);
            current = converted;
            filterUp(current, previous, out, stride);
        }
        out += stride;
        previous = current;

        const bool last = y + 1 == height;
        if (last || out == block.data() + block.size()) {
            if (!idat.write(block.data(), static_cast<size_t>(out - block.data()), last)) return {};
            out = block.data();
        }
    }

    putChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace quillgate::image
