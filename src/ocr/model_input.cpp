#include "model_input.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lumascan {
namespace {

// Source positions and weights of one axis: out pixel i samples between
// first[i] and first[i] + 1 of a span of `length` starting at `start`.
struct Taps {
    std::vector<int> first;
    std::vector<float> weight;  // of first[i] + 1
};

Taps tapsFor(int start, int length, int size, int outSize) {
    Taps taps;
    taps.first.resize(outSize);
    taps.weight.resize(outSize);
    const double step = static_cast<double>(length) / outSize;
    for (int i = 0; i < outSize; ++i) {
        const double at = std::clamp(start + (i + 0.5) * step - 0.5, 0.0, size - 1.0);
        const int first = std::min(static_cast<int>(at), size - 1);
        taps.first[i] = first;
        taps.weight[i] = first + 1 < size ? static_cast<float>(at - first) : 0.0F;
    }
    return taps;
}

}  // namespace

ColourImage resampled(const ColourImage& image, const PixelBox& region, int width, int height) {
    ColourImage out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    const Taps xs = tapsFor(region.left, region.width(), image.width, width);
    const Taps ys = tapsFor(region.top, region.height(), image.height, height);
    auto* to = out.rgb.data();
    for (int y = 0; y < height; ++y) {
        const int y0 = ys.first[y];
        const int y1 = std::min(y0 + 1, image.height - 1);
        const float wy = ys.weight[y];
        for (int x = 0; x < width; ++x) {
            const int x0 = xs.first[x];
            const int x1 = std::min(x0 + 1, image.width - 1);
            const float wx = xs.weight[x];
            const auto* a = image.pixel(x0, y0);
            const auto* b = image.pixel(x1, y0);
            const auto* c = image.pixel(x0, y1);
            const auto* d = image.pixel(x1, y1);
            for (int k = 0; k < 3; ++k) {
                const float top = a[k] + (b[k] - a[k]) * wx;
                const float bottom = c[k] + (d[k] - c[k]) * wx;
                *to++ = static_cast<std::uint8_t>(std::lround(top + (bottom - top) * wy));
            }
        }
    }
    return out;
}

Tensor toTensor(const ColourImage& image, const Normalisation& normalisation) {
    const std::size_t plane = static_cast<std::size_t>(image.width) * image.height;
    Tensor tensor{{1, 3, image.height, image.width}, std::vector<float>(plane * 3)};
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const std::size_t rgbIndex = 2 - channel;  // blue plane first
        const float scale = 1.0F / (255.0F * normalisation.deviation[channel]);
        const float offset = normalisation.mean[channel] / normalisation.deviation[channel];
        float* to = tensor.data.data() + channel * plane;
        for (std::size_t i = 0; i < plane; ++i) to[i] = image.rgb[i * 3 + rgbIndex] * scale - offset;
    }
    return tensor;
}

}  // namespace lumascan
