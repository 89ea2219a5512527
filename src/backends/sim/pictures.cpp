#include "backends/sim/pictures.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "image/png.h"
#include "image/resample.h"
#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"
#include "backends/sim/window_server.h"

namespace quillgate::sim {

namespace {

using Colour = std::array<uint8_t, 4>;
constexpr Colour white{255, 255, 255, 255};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint8_t scaleByAlpha(unsigned value, unsigned alpha) { return static_cast<uint8_t>((value * alpha + 127) / 255); }

std::optional<Image> decodeBase(const std::string& path) {
    std::string bytes = readFile(path);
    return image::decodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

Image base(const Value* picture, const std::string& baseDir, int width, int height) {
    if (const std::string* png = picture ? text(member(*picture, "png")) : nullptr) {
        try {
            auto decoded = decodeBase(resolvePath(baseDir, *png));
            if (decoded && decoded->width > 0 && decoded->height > 0) return image::resample(*decoded, width, height);
        } catch (const SceneError&) {
            // A picture file removed while the scene runs: the window shows its fill.
        }
    }
    const std::string* fill = picture ? text(member(*picture, "fill")) : nullptr;
    Colour colour = (fill ? parseColour(*fill) : std::nullopt).value_or(white);
    Image image(width, height);
    for (size_t i = 0; i < image.rgba.size(); i += 4) std::copy(colour.begin(), colour.end(), image.rgba.begin() + i);
    return image;
}

// Source-over compositing of premultiplied colour.
void paint(Image& image, int x0, int y0, int x1, int y1, Colour colour) {
    unsigned keep = 255 - colour[3];
    for (int y = y0; y < y1; ++y) {
        uint8_t* pixel = image.row(y) + static_cast<size_t>(x0) * 4;
        for (int x = x0; x < x1; ++x, pixel += 4)
            for (int c = 0; c < 4; ++c) pixel[c] = static_cast<uint8_t>(colour[c] + scaleByAlpha(pixel[c], keep));
    }
}

// A pixel edge of a rectangle edge given in points.
int edge(double points, double scale, int limit) {
    return static_cast<int>(std::clamp(std::round(points * scale), 0.0, static_cast<double>(limit)));
}

void paintRects(Image& image, const Value* rects, double sx, double sy) {
    const Array* list = rects ? rects->asArray() : nullptr;
    if (!list) return;
    for (const Value& rect : *list) {
        auto x = number(member(rect, "x")), y = number(member(rect, "y"));
        auto w = number(member(rect, "width")), h = number(member(rect, "height"));
        const std::string* fill = text(member(rect, "fill"));
        auto colour = fill ? parseColour(*fill) : std::nullopt;
        if (!x || !y || !w || !h || !colour) continue;
        int x0 = edge(*x, sx, image.width), x1 = edge(*x + *w, sx, image.width);
        int y0 = edge(*y, sy, image.height), y1 = edge(*y + *h, sy, image.height);
        if (x0 < x1 && y0 < y1) paint(image, x0, y0, x1, y1, *colour);
    }
}

}  // namespace

std::optional<Colour> parseColour(std::string_view text) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return std::nullopt;
    Colour rgba{0, 0, 0, 255};
    for (size_t i = 0; i * 2 + 1 < text.size(); ++i) {
        int high = hexDigit(text[1 + i * 2]), low = hexDigit(text[2 + i * 2]);
        if (high < 0 || low < 0) return std::nullopt;
        rgba[i] = static_cast<uint8_t>(high * 16 + low);
    }
    for (int c = 0; c < 3; ++c) rgba[c] = scaleByAlpha(rgba[c], rgba[3]);
    return rgba;
}

std::optional<std::string> pictureProblem(const Value& picture, const std::string& baseDir) {
    if (!picture.isObject()) return "a picture must be an object";
    auto badColour = [](const Value* colour) {
        return colour && !(colour->isString() && parseColour(*colour->asString()));
    };
    if (badColour(member(picture, "fill"))) return "\"fill\" is not a colour (#rrggbb or #rrggbbaa)";
    if (const Value* png = member(picture, "png")) {
        if (!png->isString()) return "\"png\" must be a file path";
        try {
            auto decoded = decodeBase(resolvePath(baseDir, *png->asString()));
            if (!decoded || decoded->width < 1 || decoded->height < 1)
                return *png->asString() + " is not a PNG picture";
        } catch (const SceneError& e) {
            return "cannot read " + *png->asString() + ": " + e.what();
        }
    }
    if (const Value* rects = member(picture, "rects")) {
        if (!rects->isArray()) return "\"rects\" must be an array";
        for (size_t i = 0; i < rects->asArray()->size(); ++i) {
            const Value& rect = (*rects->asArray())[i];
            std::string where = "rects[" + std::to_string(i) + "]: ";
            for (const char* key : {"x", "y", "width", "height"})
                if (!number(member(rect, key))) return where + "\"" + key + "\" must be a number";
            if (!member(rect, "fill") || badColour(member(rect, "fill"))) return where + "\"fill\" is not a colour";
        }
    }
    return std::nullopt;
}

int pixelLength(double points, double scale) {
    double pixels = std::trunc(points * scale);
    return std::isnan(pixels) ? 0 : static_cast<int>(std::clamp(pixels, 0.0, static_cast<double>(maxPictureSide)));
}

Image renderPicture(const Value* picture, const std::string& baseDir, Size frame, int width, int height) {
    if (width < 1 || height < 1) return Image{};
    width = std::min(width, maxPictureSide);
    height = std::min(height, maxPictureSide);
    Image image = base(picture, baseDir, width, height);
    // Rectangles are in whole window points; the output may have more or fewer pixels.
    double pointsWide = std::trunc(frame.width), pointsHigh = std::trunc(frame.height);
    double sx = pointsWide >= 1 ? width / pointsWide : 1, sy = pointsHigh >= 1 ? height / pointsHigh : 1;
    if (picture) paintRects(image, member(*picture, "rects"), sx, sy);
    return image;
}

std::optional<Size> frameSize(const Object& window) {
    auto frame = boundsRect(member(window, "kCGWindowBounds"));
    if (!frame) return std::nullopt;
    return Size{frame->width, frame->height};
}

Image pictureOfWindow(const Value& scene, const std::string& baseDir, const Object& window, int width, int height) {
    const Value* pixels = member(scene, "pixels");
    auto number = windowNumber(member(window, "kCGWindowNumber"));
    const Value* picture = pixels && number ? member(*pixels, std::to_string(*number)) : nullptr;
    Size frame = frameSize(window).value_or(Size{static_cast<double>(width), static_cast<double>(height)});
    return renderPicture(picture, baseDir, frame, width, height);
}

}  // namespace quillgate::sim
