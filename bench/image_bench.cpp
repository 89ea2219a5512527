// The picture path of "capture" (PNG, then Base64), the header hash of every
// guarded request, reference decoding for "bind-region" and the scaling of
// the screenshot tool's fallback, on a Retina-sized chat window. The PNG
// writer is shown beside libspng and libpng, at their defaults and at libpng's
// fastest comparable settings, with the size of each output; the PNG reader
// beside libspng, and the two inflaters it could use.
//
// CPU time on the two-core development machine (AMD EPYC, RelWithDebInfo):
//   encodePng 2880x1800          11 ms   1.03 MB
//   libspng defaults            370 ms   1.22 MB
//   libpng defaults             270 ms   1.22 MB
//   libpng level 1, UP           93 ms   1.02 MB
//   Base64 encode of the PNG    0.26 ms  (3.7 GiB/s)
//   Base64 decode               0.32 ms  (4.0 GiB/s)
//   the same from JSON text     0.52 ms  (1.1 ms while it copied the runs
//                                         between escapes 16 bytes at a time)
//   region hash 1440x60         0.26 ms
//   resample 5760x3600 to half  320 ms  (1.3 s while other builds saturate
//                                        the machine)
// and, measured later while other builds loaded the machine (Release):
//   decodePng 2880x1800          15 ms   (13 ms into a reused buffer)
//   libspng decode               33 ms
//   inflate alone: libdeflate   9.9 ms, ISA-L 12.2 ms

#include <benchmark/benchmark.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <png.h>
#include <spng.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "capture/encoding.h"
#include "chat_picture.h"
#include "image/base64.h"
#include "image/png.h"
#include "image/resample.h"

namespace quillgate::bench {
namespace {

constexpr int pictureWidth = 2880, pictureHeight = 1800;

const Image& window() {
    static const Image picture = chatPicture(pictureWidth, pictureHeight);
    return picture;
}

const std::string& windowPng() {
    static const std::string bytes = image::encodePng(window());
    return bytes;
}

void reportSize(benchmark::State& state, size_t bytes) {
    state.counters["png_bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(window().rgba.size()));
}

// The window is opaque, so its premultiplied bytes are also straight RGBA
// and the libraries may be handed the picture as it is.
std::string spngDefault(const Image& image) {
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<uint32_t>(image.width);
    ihdr.height = static_cast<uint32_t>(image.height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    spng_set_ihdr(ctx, &ihdr);
    std::string out;
    if (spng_encode_image(ctx, image.rgba.data(), image.rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0) {
        size_t size = 0;
        int error = 0;
        void* buffer = spng_get_png_buffer(ctx, &size, &error);
        out.assign(static_cast<const char*>(buffer), size);
        free(buffer);
    }
    spng_ctx_free(ctx);
    return out;
}

std::string libpng(const Image& image, bool fast) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t size) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), size);
        },
        nullptr);
    if (fast) {
        png_set_compression_level(png, 1);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) png_write_row(png, image.row(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void BM_EncodePng(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) size = image::encodePng(window()).size();
    reportSize(state, size);
}
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond);

void BM_EncodePngSpngDefaults(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) size = spngDefault(window()).size();
    reportSize(state, size);
}
BENCHMARK(BM_EncodePngSpngDefaults)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EncodePngLibpngDefaults(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) size = libpng(window(), false).size();
    reportSize(state, size);
}
BENCHMARK(BM_EncodePngLibpngDefaults)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EncodePngLibpngLevel1Up(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) size = libpng(window(), true).size();
    reportSize(state, size);
}
BENCHMARK(BM_EncodePngLibpngLevel1Up)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Base64Encode(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(image::base64Encode(windowPng()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(windowPng().size()));
}
BENCHMARK(BM_Base64Encode)->Unit(benchmark::kMicrosecond);

void BM_Base64Decode(benchmark::State& state) {
    const std::string text = image::base64Encode(windowPng());
    for (auto _ : state) benchmark::DoNotOptimize(image::base64Decode(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Base64Decode)->Unit(benchmark::kMicrosecond);

// The same text as it stands inside the request's JSON string, each '/'
// written "\/", decoded from there as "bind-region" does.
void BM_Base64DecodeJson(benchmark::State& state) {
    std::string text;
    image::appendJsonBase64(windowPng(), text);
    std::vector<uint8_t> bytes;
    for (auto _ : state)
        if (image::base64DecodeJson(text, bytes) != image::JsonBase64::decoded) state.SkipWithError("not decoded");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Base64DecodeJson)->Unit(benchmark::kMicrosecond);

void BM_RegionHashHeaderStrip(benchmark::State& state) {
    const GuardRegion strip{720, 0, 1440, 60};
    for (auto _ : state) benchmark::DoNotOptimize(hash(window(), strip));
}
BENCHMARK(BM_RegionHashHeaderStrip)->Unit(benchmark::kMicrosecond);

void BM_DecodePng(benchmark::State& state) {
    const auto& bytes = windowPng();
    std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    for (auto _ : state) benchmark::DoNotOptimize(image::decodePng(span));
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

// libspng as the program's reader used to be set up, for comparison.
void BM_DecodePngSpng(benchmark::State& state) {
    const auto& bytes = windowPng();
    for (auto _ : state) {
        spng_ctx* ctx = spng_ctx_new(0);
        spng_set_png_buffer(ctx, bytes.data(), bytes.size());
        Image image(pictureWidth, pictureHeight);
        spng_decode_image(ctx, image.rgba.data(), image.rgba.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
        spng_decode_chunks(ctx);
        spng_ctx_free(ctx);
        benchmark::DoNotOptimize(image.rgba.data());
    }
}
BENCHMARK(BM_DecodePngSpng)->Unit(benchmark::kMillisecond);

// The reader as "bind-region" uses it, into a buffer kept between calls.
void BM_DecodePngReused(benchmark::State& state) {
    const auto& bytes = windowPng();
    std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    Image image;
    for (auto _ : state) {
        if (!image::decodePng(span, {}, image)) state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(image.rgba.data());
    }
}
BENCHMARK(BM_DecodePngReused)->Unit(benchmark::kMillisecond);

// The two inflaters at hand on the window's image stream (its IDAT chunks
// joined), into an output of the exact size: the reader's choice.
const std::vector<uint8_t>& windowStream() {
    static const std::vector<uint8_t> stream = [] {
        std::vector<uint8_t> joined;
        const auto* p = reinterpret_cast<const uint8_t*>(windowPng().data()) + 8;
        for (;;) {
            const uint32_t length = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
            if (std::memcmp(p + 4, "IEND", 4) == 0) return joined;
            if (std::memcmp(p + 4, "IDAT", 4) == 0) joined.insert(joined.end(), p + 8, p + 8 + length);
            p += 12 + length;
        }
    }();
    return stream;
}
constexpr size_t scanlineBytes = size_t{pictureHeight} * (1 + 4 * pictureWidth);

void BM_InflateLibdeflate(benchmark::State& state) {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    std::vector<uint8_t> out(scanlineBytes);
    for (auto _ : state)
        if (libdeflate_zlib_decompress(d, windowStream().data(), windowStream().size(), out.data(), out.size(),
                                       nullptr) != LIBDEFLATE_SUCCESS)
            state.SkipWithError("not inflated");
    libdeflate_free_decompressor(d);
}
BENCHMARK(BM_InflateLibdeflate)->Unit(benchmark::kMillisecond);

void BM_InflateIsal(benchmark::State& state) {
    std::vector<uint8_t> out(scanlineBytes);
    auto inflater = std::make_unique<inflate_state>();
    for (auto _ : state) {
        isal_inflate_init(inflater.get());
        inflater->crc_flag = ISAL_ZLIB;
        inflater->next_in = const_cast<uint8_t*>(windowStream().data());
        inflater->avail_in = static_cast<uint32_t>(windowStream().size());
        inflater->next_out = out.data();
        inflater->avail_out = static_cast<uint32_t>(out.size());
        if (isal_inflate(inflater.get()) != ISAL_DECOMP_OK || inflater->block_state != ISAL_BLOCK_FINISH ||
            inflater->avail_out != 0)
            state.SkipWithError("not inflated");
    }
}
BENCHMARK(BM_InflateIsal)->Unit(benchmark::kMillisecond);

void BM_ResampleHalf(benchmark::State& state) {
    const Image retina = chatPicture(2 * pictureWidth, 2 * pictureHeight);
    for (auto _ : state) benchmark::DoNotOptimize(image::resample(retina, pictureWidth, pictureHeight));
}
BENCHMARK(BM_ResampleHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace quillgate::bench
