// PP-OCRv4 backend of Recognizer: the detector finds the text lines, the
// recogniser reads each of them.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "colour_image.h"
#include "ctc_decoder.h"
#include "custom_words.h"
#include "data_dir.h"
#include "engines.h"
#include "geometry.h"
#include "ink_box.h"
#include "model_input.h"
#include "onnx_model.h"
#include "one_time_set_up.h"
#include "reading_order.h"
#include "text_regions.h"
#include "word_spacing.h"

namespace lumascan {
namespace {

constexpr auto defaultDeadline = std::chrono::milliseconds(3000);

// The time recognition may take: 3 seconds, or LUMASCAN_DEADLINE_MS
// milliseconds when that holds a positive number (for builds many times
// slower than a release, as under the sanitizers).
std::chrono::milliseconds deadline() {
    const char* given = std::getenv("LUMASCAN_DEADLINE_MS");
    if (given == nullptr) return defaultDeadline;
    char* end = nullptr;
    const long ms = std::strtol(given, &end, 10);
    return end != given && *end == '\0' && ms > 0 ? std::chrono::milliseconds(ms) : defaultDeadline;
}

const std::array<std::string, 3> modelFiles{"det.onnx", "rec.onnx", "keys.txt"};

std::filesystem::path modelDir() {
    static const std::array<std::filesystem::path, 2> installed{
        "/usr/local/share/lumascan/ppocr-v4",
        "/usr/share/lumascan/ppocr-v4",
    };
    return findDataDir(std::getenv("LUMASCAN_PPOCR_DIR"), installed, modelFiles);
}

// The detector's input: ImageNet's normalisation, sides multiples of 32.
constexpr Normalisation detectorNormalisation{{0.406F, 0.456F, 0.485F}, {0.225F, 0.224F, 0.229F}};
constexpr int detectorStride = 32;
// The detector's time grows with its input's pixels. Pictures go to it at
// about this many pixels, small ones (chat text of 12 px) enlarged at most
// by half, Retina pictures reduced.
constexpr double detectorPixels = 0.25e6;
constexpr double detectorMostScale = 1.5;
// Lines whose boxes the detector sees under 16 pixels high are looked for
// again, at a scale that makes them 24 high (12 px text at 1.5 times), in at
// most 600,000 pixels (the detector's memory grows with them too).
constexpr double detectorSmallLine = 16;
constexpr double detectorLineHeight = 24;
constexpr double detectorMostPixels = 0.6e6;

// The recogniser's input: 48 pixels high, values in -1..1.
constexpr Normalisation recogniserNormalisation{{0.5F, 0.5F, 0.5F}, {0.5F, 0.5F, 0.5F}};
constexpr int recogniserHeight = 48;
constexpr int recogniserMostWidth = 48 * 50;

int detectorSide(int side, double scale) {
    const auto scaled = static_cast<int>(std::lround(side * scale / detectorStride));
    return std::max(1, scaled) * detectorStride;
}

PixelBox toImage(const PixelBox& box, double sx, double sy, const ColourImage& image) {
    return {std::clamp(static_cast<int>(std::floor(box.left / sx)), 0, image.width - 1),
            std::clamp(static_cast<int>(std::floor(box.top / sy)), 0, image.height - 1),
            std::clamp(static_cast<int>(std::ceil(box.right / sx)), 1, image.width),
            std::clamp(static_cast<int>(std::ceil(box.bottom / sy)), 1, image.height)};
}

class PpOcrEngine final : public Recognizer {
public:
    PpOcrEngine(std::filesystem::path dir, std::vector<std::string> customWords)
        : dir_(std::move(dir)), customWords_(std::move(customWords)) {}

    std::vector<TextLine> recognize(std::span<const std::byte> encoded) override {
        const auto image = decodeColour(encoded);
        if (!image || !setUp_.done([this] { return init(); })) return {};
        const auto until = std::chrono::steady_clock::now() + deadline();
        auto regions = detect(*image);
        sortReadingOrder(regions);
        std::vector<TextLine> lines;
        for (const auto& region : regions) {
            if (std::chrono::steady_clock::now() > until) return {};
            const auto ink = findLineInk(*image, region.box, region.core);
            auto glyphs = read(*image, region.box, ink);
            trustCustomWords(glyphs, customWords_);
            auto [text, score] = joinGlyphs(glyphs);
            if (text.empty()) continue;
            const auto& b = ink.bounds;
            lines.push_back({std::move(text), score, quadFromBox(b.left, b.top, b.right, b.bottom)});
        }
        return lines;
    }

private:
    bool init() {
        detector_ = OnnxModel::load(dir_ / "det.onnx");
        recogniser_ = OnnxModel::load(dir_ / "rec.onnx");
        charset_ = Charset::load(dir_ / "keys.txt");
        return detector_ && recogniser_ && charset_.classes() > 0;
    }

    // Line regions in image pixels, the core as well as the whole line.
    // Text that the first look shows smaller than the detector reads well
    // (small text in a large picture) is looked for again at a scale that
    // brings it to that size, as far as the pixels allow.
    std::vector<TextRegion> detect(const ColourImage& image) {
        const double pixels = static_cast<double>(image.width) * image.height;
        const double first = std::min(detectorMostScale, std::sqrt(detectorPixels / pixels));
        auto regions = detectAt(image, first);
        if (regions.empty()) return regions;
        std::vector<int> heights;
        for (const auto& region : regions) heights.push_back(region.box.height());
        std::ranges::nth_element(heights, heights.begin() + heights.size() / 2);
        const double height = heights[heights.size() / 2];
        const double second = std::min({detectorMostScale, detectorLineHeight / height,
                                        std::sqrt(detectorMostPixels / pixels)});
        if (height * first >= detectorSmallLine || second < first * 1.25) return regions;
        return detectAt(image, second);
    }

    std::vector<TextRegion> detectAt(const ColourImage& image, double scale) {
        const int width = detectorSide(image.width, scale);
        const int height = detectorSide(image.height, scale);
        auto input = toTensor(resampled(image, {0, 0, image.width, image.height}, width, height),
                              detectorNormalisation);
        const auto output = detector_->run(input);
        if (!output || output->data.size() != static_cast<std::size_t>(width) * height) return {};
        const double sx = static_cast<double>(width) / image.width;
        const double sy = static_cast<double>(height) / image.height;
        auto regions = findTextRegions({width, height, output->data});
        for (auto& region : regions) {
            region.core = toImage(region.core, sx, sy, image);
            region.box = toImage(region.box, sx, sy, image);
        }
        return regions;
    }

    std::vector<Glyph> read(const ColourImage& image, const PixelBox& box, const LineInk& ink) {
        const double aspect = static_cast<double>(box.width()) / std::max(1, box.height());
        const int width = std::clamp(static_cast<int>(std::lround(recogniserHeight * aspect)),
                                     recogniserHeight / 4, recogniserMostWidth);
        auto input = toTensor(resampled(image, box, width, recogniserHeight), recogniserNormalisation);
        const auto output = recogniser_->run(input);
        if (!output || output->shape.size() != 3 || output->shape[1] <= 0) return {};
        const InkColumns columns{ink.columns, static_cast<double>(box.width()) / output->shape[1],
                                 ink.bounds.height()};
        return withWordSpaces(decodeBestPath(*output, charset_), columns);
    }

    std::filesystem::path dir_;
    std::vector<std::string> customWords_;
    std::unique_ptr<OnnxModel> detector_;
    std::unique_ptr<OnnxModel> recogniser_;
    Charset charset_{{}};
    OneTimeSetUp setUp_;  // loading the models, at the first decodable image
};

}  // namespace

std::unique_ptr<Recognizer> makePpOcrRecognizer(std::vector<std::string> customWords) {
    auto dir = modelDir();
    if (dir.empty()) return nullptr;
    return std::make_unique<PpOcrEngine>(std::move(dir), std::move(customWords));
}

}  // namespace lumascan
