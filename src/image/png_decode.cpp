// PNG decoding of pictures from outside (the host's references, the
// screenshot tool's files) is left to libspng, a decoder built and fuzzed for
// untrusted input, with its limits set before it reads anything.

#include <spng.h>

#include <memory>

#include "image/png.h"

namespace quillgate::image {
namespace {

// Ancillary chunks are never used, so they need not be large or kept in bulk.
constexpr size_t kChunkSizeLimit = size_t{8} << 20;
constexpr size_t kChunkCacheLimit = size_t{16} << 20;

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

void premultiply(Image& image) {
    uint8_t* p = image.rgba.data();
    uint8_t* end = p + image.rgba.size();
    for (; p != end; p += 4) {
        const unsigned a = p[3];
        if (a == 0xFF) continue;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * a + 127) / 255);
    }
}

}  // namespace

std::optional<Image> decodePng(std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    if (bytes.empty() || limits.maxWidth < 1 || limits.maxHeight < 1) return std::nullopt;
    std::unique_ptr<spng_ctx, ContextFree> ctx(spng_ctx_new(0));
    if (!ctx) return std::nullopt;
    spng_ctx* c = ctx.get();
    if (spng_set_image_limits(c, static_cast<uint32_t>(limits.maxWidth), static_cast<uint32_t>(limits.maxHeight)) ||
        spng_set_chunk_limits(c, kChunkSizeLimit, kChunkCacheLimit) ||
        spng_set_png_buffer(c, bytes.data(), bytes.size()))
        return std::nullopt;

    spng_ihdr ihdr{};
    if (spng_get_ihdr(c, &ihdr)) return std::nullopt;
    if (int64_t{ihdr.width} * int64_t{ihdr.height} > limits.maxPixels) return std::nullopt;

    Image image(static_cast<int>(ihdr.width), static_cast<int>(ihdr.height));
    size_t size = 0;
    if (spng_decoded_image_size(c, SPNG_FMT_RGBA8, &size) || size != image.rgba.size()) return std::nullopt;
    // tRNS makes palette and colour-key pictures translucent as they are
    // meant to be seen; gamma stays as stored, since bytes are compared, not shown.
    if (spng_decode_image(c, image.rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS)) return std::nullopt;
    // Reading on to IEND also refuses a file cut off after its pixel data.
    if (spng_decode_chunks(c)) return std::nullopt;
    premultiply(image);
    return image;
}

}  // namespace quillgate::image
