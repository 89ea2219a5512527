#pragma once
// Window pictures: what a window looks like to the screenshot service and the
// screenshot tool. A picture is a base (a fill colour or a PNG scaled to the
// window) with rectangles painted over it in order.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/image.h"
#include "platform/value.h"

namespace quillgate::sim {

// The largest picture side rendered; larger sizes are cut to it.
inline constexpr int maxPictureSide = 16384;

// Pixels for a length in points at a scale: truncated, within 0 and maxPictureSide.
int pixelLength(double points, double scale);

// "#rrggbb" or "#rrggbbaa" as premultiplied RGBA.
std::optional<std::array<uint8_t, 4>> parseColour(std::string_view text);

// What is wrong with a picture description (a bad colour, a PNG that cannot
// be read or decoded), or nothing.
std::optional<std::string> pictureProblem(const Value& picture, const std::string& baseDir);

// The picture at width x height pixels for a window whose frame is `frame`
// points: rectangles are given in window points and scale with the output.
// Null, or a base PNG that has gone missing, paints opaque white. Empty when
// either dimension is below one pixel.
Image renderPicture(const Value* picture, const std::string& baseDir, Size frame, int width, int height);

// A window-list entry's picture ("pixels" under its window number) at width x height pixels.
Image pictureOfWindow(const Value& scene, const std::string& baseDir, const Object& window, int width, int height);

// The entry's frame size in points, when its bounds convert.
std::optional<Size> frameSize(const Object& window);

}  // namespace quillgate::sim
