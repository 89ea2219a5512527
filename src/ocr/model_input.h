#pragma once

#include <array>

#include "colour_image.h"
#include "onnx_model.h"

namespace lumascan {

// `region` of `image` resampled bilinearly to width x height (sample centres
// aligned, edges clamped).
ColourImage resampled(const ColourImage& image, const PixelBox& region, int width, int height);

// Per-channel normalisation, (value / 255 - mean) / deviation, in the
// order the models were trained with: blue, green, red.
struct Normalisation {
    std::array<float, 3> mean;       // blue, green, red
    std::array<float, 3> deviation;  // blue, green, red
};

// The picture as a 1 x 3 x height x width tensor, blue plane first.
Tensor toTensor(const ColourImage& image, const Normalisation& normalisation);

}  // namespace lumascan
