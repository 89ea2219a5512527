#include "capture/encoding.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "capture/sha256.h"
#include "core/failure.h"
#include "core/trace.h"
#include "image/png.h"

namespace quillgate {
namespace {

struct Region {
    size_t x, y, width, height;
};

double wholeNumber(std::optional<double> v) {
    if (!v || !std::isfinite(*v) || std::trunc(*v) != *v) reject(msg::invalidGuardRegion);
    return *v;
}

Region readRegion(const GuardRegion& region, const Image& image) {
    const double x = wholeNumber(region.x);
    const double y = wholeNumber(region.y);
    const double width = wholeNumber(region.width);
    const double height = wholeNumber(region.height);
    if (x < 0 || y < 0 || width < 2 || height < 2 || x + width > image.width || y + height > image.height)
        reject(msg::invalidGuardRegion);
    return {static_cast<size_t>(x), static_cast<size_t>(y), static_cast<size_t>(width),
            static_cast<size_t>(height)};
}

std::string hex(const Sha256Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out(digest.size() * 2, '\0');
    for (size_t i = 0; i < digest.size(); ++i) {
        out[2 * i] = digits[digest[i] >> 4];
        out[2 * i + 1] = digits[digest[i] & 15];
    }
    return out;
}

// The region's rows as they are hashed. The picture already has the hashed
// layout (premultiplied RGBA, rows without gaps), so they are taken straight
// from it: the digest equals that of a drawn crop without making one.
std::vector<std::span<const uint8_t>> hashedRows(const Image& image, const GuardRegion& region) {
    const Region r = readRegion(region, image);
    // A picture whose buffer does not match its size cannot be drawn from.
    if (image.rgba.size() != image.stride() * static_cast<size_t>(image.height)) reject(msg::invalidGuardImage);
    std::vector<std::span<const uint8_t>> rows;
    rows.reserve(r.height);
    for (size_t row = r.y; row < r.y + r.height; ++row)
        rows.emplace_back(image.row(static_cast<int>(row)) + r.x * 4, r.width * 4);
    return rows;
}

}  // namespace

std::string png(const Image& image) {
    std::string bytes = timed(Stage::pngEncode, [&] { return image::encodePng(image); });
    if (bytes.empty()) reject(msg::captureEmpty);
    return bytes;
}

std::string hash(const Image& image, const GuardRegion& region) {
    const TraceStage timer(Stage::hash);
    return hex(sha256(hashedRows(image, region)));
}

bool sameHash(const Image& image, const Image& hashed, const GuardRegion& region) {
    const TraceStage timer(Stage::hash);
    const auto rows = hashedRows(image, region), others = hashedRows(hashed, region);
    return std::equal(rows.begin(), rows.end(), others.begin(), [](auto a, auto b) {
        return std::equal(a.begin(), a.end(), b.begin());
    });
}

}  // namespace quillgate
