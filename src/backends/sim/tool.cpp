#include "backends/sim/tool.h"

#include <algorithm>
#include <charconv>
#include <fstream>

#include "image/png.h"
#include "backends/sim/pictures.h"
#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"
#include "backends/sim/window_server.h"

namespace quillgate::sim {

namespace {

const Value* toolMember(const Value& scene, std::string_view key) {
    const Value* tool = member(scene, "tool");
    return tool ? member(*tool, key) : nullptr;
}

std::optional<uint32_t> parseWindow(std::string_view digits) {
    uint32_t number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

}  // namespace

ToolSettings toolSettings(const Value& scene) {
    auto scale = number(toolMember(scene, "scale"));
    return {
        boolean(toolMember(scene, "launch")).value_or(true),
        std::max(0.0, number(toolMember(scene, "delay")).value_or(defaults::toolDelay)),
        boolean(toolMember(scene, "writes")).value_or(true),
        scale && *scale > 0 ? *scale : defaults::toolScale,
    };
}

ToolJob parseToolArguments(const std::vector<std::string>& arguments) {
    ToolJob job;
    if (arguments.empty()) return job;
    job.output = arguments.back();
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument == "-l" && i + 2 < arguments.size())
            job.window = parseWindow(arguments[++i]);
        else if (argument.starts_with("-l") && argument.size() > 2)
            job.window = parseWindow(argument.substr(2));
        else if (argument == "-t")
            ++i;  // the format; only PNG is written
    }
    return job;
}

void writeToolPicture(const Value& scene, const std::string& baseDir, const ToolJob& job, double scale) {
    if (!job.window || job.output.empty()) return;
    const Object* window = onScreenWindow(scene, *job.window);
    auto frame = window ? frameSize(*window) : std::nullopt;
    if (!frame) return;
    Image picture =
        pictureOfWindow(scene, baseDir, *window, pixelLength(frame->width, scale), pixelLength(frame->height, scale));
    if (picture.width < 1 || picture.height < 1) return;
    std::string png = image::encodePng(picture);
    if (png.empty()) return;
    std::ofstream(job.output, std::ios::binary | std::ios::trunc)
        .write(png.data(), static_cast<std::streamsize>(png.size()));
}

}  // namespace quillgate::sim
