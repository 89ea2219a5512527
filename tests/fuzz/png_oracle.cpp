#include "png_oracle.h"

#include <spng.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace quillgate::fuzz {
namespace {

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

// libspng with the settings the program used before it had its own reader,
// plus checked CRCs on ancillary chunks (libspng drops such chunks instead).
std::optional<Image> spngDecode(std::span<const uint8_t> bytes, const image::DecodeLimits& limits) {
    std::unique_ptr<spng_ctx, ContextFree> owner(spng_ctx_new(0));
    spng_ctx* ctx = owner.get();
    spng_ihdr ihdr{};
    if (!ctx || spng_set_image_limits(ctx, static_cast<uint32_t>(limits.maxWidth), static_cast<uint32_t>(limits.maxHeight)) ||
        spng_set_chunk_limits(ctx, size_t{8} << 20, size_t{16} << 20) ||
        spng_set_crc_action(ctx, SPNG_CRC_ERROR, SPNG_CRC_ERROR) || spng_set_png_buffer(ctx, bytes.data(), bytes.size()) ||
        spng_get_ihdr(ctx, &ihdr) || int64_t{ihdr.width} * ihdr.height > limits.maxPixels)
        return std::nullopt;
    Image image(static_cast<int>(ihdr.width), static_cast<int>(ihdr.height));
    if (spng_decode_image(ctx, image.rgba.data(), image.rgba.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) ||
        spng_decode_chunks(ctx))
        return std::nullopt;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        const unsigned alpha = image.rgba[i + 3];
        for (size_t c = i; c < i + 3; ++c) image.rgba[c] = static_cast<uint8_t>((image.rgba[c] * alpha + 127) / 255);
    }
    return image;
}

uint32_t be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

// What the harness reads of a file libspng accepted: the header fields that
// size the image stream, the stream itself and the number of palettes.
struct Layout {
    uint32_t width = 0, height = 0;
    unsigned bitsPerPixel = 0;
    bool interlaced = false;
    std::vector<uint8_t> stream;
    int palettes = 0;
    bool endIntact = false;  // IEND with its CRC, which libspng does not read
};

Layout layout(std::span<const uint8_t> bytes) {
    Layout out;
    bool streamEnded = false;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = be32(&bytes[at]);
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (type == "IEND") {
            static const uint8_t crc[4] = {0xAE, 0x42, 0x60, 0x82};
            out.endIntact = length == 0 && std::memcmp(&bytes[at + 8], crc, 4) == 0;
            break;
        }
        if (length > bytes.size() - at - 12) break;
        const uint8_t* data = &bytes[at + 8];
        if (type == "IHDR" && length == 13) {
            out.width = be32(data);
            out.height = be32(data + 4);
            static const unsigned channels[7] = {1, 0, 3, 1, 2, 0, 4};
            out.bitsPerPixel = data[9] < 7 ? channels[data[9]] * data[8] : 0;
            out.interlaced = data[12] == 1;
        }
        if (type == "PLTE") ++out.palettes;
        if (type == "IDAT" && !streamEnded) out.stream.insert(out.stream.end(), data, data + length);
        if (type != "IDAT" && !out.stream.empty()) streamEnded = true;
        at += size_t{length} + 12;
    }
    return out;
}

// Rows of every interlace pass, each with its filter byte.
uint64_t streamSize(const Layout& l) {
    static const unsigned whole[1][4] = {{0, 0, 1, 1}};
    static const unsigned adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    uint64_t total = 0;
    for (const auto& p : l.interlaced ? std::span<const unsigned[4]>(adam7) : std::span<const unsigned[4]>(whole)) {
        const uint64_t w = l.width > p[0] ? (l.width - p[0] + p[2] - 1) / p[2] : 0;
        const uint64_t h = l.height > p[1] ? (l.height - p[1] + p[3] - 1) / p[3] : 0;
        if (w && h) total += h * (1 + (w * l.bitsPerPixel + 7) / 8);
    }
    return total;
}

// Whether zlib reads the joined IDAT data as one complete stream of exactly
// `size` bytes with nothing after it.
bool exactStream(std::vector<uint8_t>& stream, uint64_t size) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    std::vector<uint8_t> out(size + 1);
    z.next_in = stream.data();
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    const bool exact = result == Z_STREAM_END && z.total_out == size && z.avail_in == 0;
    inflateEnd(&z);
    return exact;
}

}  // namespace

std::string comparePngReaders(std::span<const uint8_t> bytes, const image::DecodeLimits& limits) {
    const std::optional<Image> ours = image::decodePng(bytes, limits);
    const std::optional<Image> theirs = spngDecode(bytes, limits);
    if (ours && theirs)
        return ours->width == theirs->width && ours->height == theirs->height && ours->rgba == theirs->rgba
                   ? ""
                   : "the pixels differ";
    if (!ours && !theirs) return "";
    if (ours) return "only the program's reader accepts";
    Layout l = layout(bytes);
    if (l.palettes > 1 || !l.endIntact || !exactStream(l.stream, streamSize(l))) return "";
    return "only libspng accepts";
}

}  // namespace quillgate::fuzz
