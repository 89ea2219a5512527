// The PNG reader the program ships against libspng on the same mutated
// bytes: the same pixels, or both refuse (png_oracle.h).

#include <cstdio>
#include <cstdlib>

#include "png_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr quillgate::image::DecodeLimits limits{.maxWidth = 1024, .maxHeight = 1024, .maxPixels = 1 << 18};
    const std::string difference = quillgate::fuzz::comparePngReaders(std::span(data, size), limits);
    if (difference.empty()) return 0;
    std::fprintf(stderr, "PNG readers disagree: %s\n", difference.c_str());
    std::abort();
}
