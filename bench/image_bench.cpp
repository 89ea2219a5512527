// The picture path of "capture" (PNG, then Base64), the header hash of every
// guarded request, reference decoding for "bind-region" and the scaling of
// the screenshot tool's fallback, on a Retina-sized chat window. The PNG
// writer is shown beside libspng and libpng, at their defaults and at libpng's
// fastest comparable settings, with the size of each output.
//
// CPU time on the two-core development machine (AMD EPYC, RelWithDebInfo):
//   encodePng 2880x1800          11 ms   1.03 MB
//   libspng defaults            370 ms   1.22 MB
//   libpng defaults             270 ms   1.22 MB
//   libpng level 1, UP           93 ms   1.02 MB
//   Base64 encode of the PNG    0.26 ms  (3.7 GiB/s)
//   Base64 decode               0.32 ms  (4.0 GiB/s)
//   capture payload (PNG+Base64) 11.5 ms
//   region hash 1440x60         0.26 ms
//   decodePng 2880x1800          50 ms
//   resample 5760x3600 to half  320 ms  (1.3 s while other builds saturate
//                                        the machine)

#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>

#include <string>

#include "capture/encoding.h"
#include "chat_picture.h"
#include "image/base64.h"
#include "image/png.h"
#include "image/resample.h"

namespace quillgate::bench {
namespace {

constexpr int kWidth = 2880, kHeight = 1800;

const Image& window() {
    static const Image picture = chatPicture(kWidth, kHeight);
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

// What "capture" adds to the screenshot itself.
void BM_CapturePayload(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(image::base64Encode(png(window())));
}
BENCHMARK(BM_CapturePayload)->Unit(benchmark::kMillisecond);

void BM_RegionHashHeaderStrip(benchmark::State& state) {
    const Object strip = {{"x", Value(720)}, {"y", Value(0)}, {"width", Value(1440)}, {"height", Value(60)}};
    for (auto _ : state) benchmark::DoNotOptimize(hash(window(), strip));
}
BENCHMARK(BM_RegionHashHeaderStrip)->Unit(benchmark::kMicrosecond);

void BM_DecodePng(benchmark::State& state) {
    const auto& bytes = windowPng();
    std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    for (auto _ : state) benchmark::DoNotOptimize(image::decodePng(span));
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

void BM_ResampleHalf(benchmark::State& state) {
    const Image retina = chatPicture(2 * kWidth, 2 * kHeight);
    for (auto _ : state) benchmark::DoNotOptimize(image::resample(retina, kWidth, kHeight));
}
BENCHMARK(BM_ResampleHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace quillgate::bench
