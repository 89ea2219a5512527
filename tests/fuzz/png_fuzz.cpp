// The PNG reader on untrusted bytes under a size limit: it refuses or gives
// a picture within the limits whose every pixel is validly premultiplied,
// and reading only the top rows into a reused buffer accepts the same files
// and gives the same rows.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "image/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillgate;
    constexpr image::DecodeLimits limits{.maxWidth = 1024, .maxHeight = 1024, .maxPixels = 1 << 18};
    static Image reused;  // whatever the previous input left in it

    const std::span<const uint8_t> bytes(data, size);
    const std::optional<Image> fresh = image::decodePng(bytes, limits);
    const int rows = static_cast<int>(size % 5);  // from none to a few
    int height = 0;
    if (image::decodePngTop(bytes, limits, rows, reused, height) != fresh.has_value()) std::abort();
    if (!fresh) return 0;
    if (fresh->width < 1 || fresh->height < 1 || fresh->width > limits.maxWidth || fresh->height > limits.maxHeight ||
        int64_t{fresh->width} * fresh->height > limits.maxPixels ||
        fresh->rgba.size() != fresh->stride() * static_cast<size_t>(fresh->height))
        std::abort();
    for (size_t i = 0; i < fresh->rgba.size(); i += 4)
        for (size_t c = 0; c < 3; ++c)
            if (fresh->rgba[i + c] > fresh->rgba[i + 3]) std::abort();
    if (height != fresh->height || reused.width != fresh->width || reused.height != std::min(rows, height) ||
        !std::equal(reused.rgba.begin(), reused.rgba.end(), fresh->rgba.begin()) ||
        reused.rgba.size() != reused.stride() * static_cast<size_t>(reused.height))
        std::abort();
    return 0;
}
