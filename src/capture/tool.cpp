#include "capture/tool.h"

#include <unistd.h>

#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "capture/capture.h"
#include "capture/prompt.h"
#include "core/failure.h"
#include "core/trace.h"
#include "image/screen_picture.h"

namespace quillgate {
namespace {

constexpr const char* toolExecutable = "/usr/sbin/screencapture";
constexpr double toolTimeLimit = 5.0;
constexpr double toolPollInterval = 0.05;

// One process capturing one window always uses the same file.
std::string capturePath(Platform& platform, const Window& window) {
    return platform.temporaryDirectory() + "veskor-cap-" + std::to_string(platform.ownPid()) + "-" +
           std::to_string(window.id) + ".png";
}

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

// Removes the file however the capture ends; a failure to remove is ignored.
struct Removal {
    const std::string& path;
    ~Removal() { removeFile(path); }
};

std::optional<std::vector<uint8_t>> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

// False when the tool is still running at the deadline.
bool waitForExit(Platform& platform, ChildProcess& tool) {
    const double deadline = platform.monotonic() + toolTimeLimit;
    while (tool.running()) {
        if (platform.monotonic() >= deadline) return false;
        pause(platform, toolPollInterval, Wait::toolExit);
    }
    return true;
}

}  // namespace

Image captureByTool(Platform& platform, const Window& window) {
    const TraceStage timer(Stage::screenshotTool);
    const std::string path = capturePath(platform, window);
    // Only what this run of the tool writes may be read: a picture left by an
    // earlier run that timed out would show the window as it was then, and
    // could let the guard pass on old pixels.
    removeFile(path);
    std::unique_ptr<ChildProcess> tool = platform.launch(
        toolExecutable, {"-x", "-o", "-l" + std::to_string(window.id), "-t", "png", path});
    const Removal removal{path};
    if (!waitForExit(platform, *tool)) {
        tool->terminate();
        reject(msg::captureTimeout);
    }
    // The exit status says nothing the file does not.
    const auto bytes = readFile(path);
    if (!bytes) reject(msg::captureUnavailable);
    // The tool draws at the display's pixel density; the contract is one
    // pixel per point.
    const PixelSize size = pixelSize(window.rect);
    auto picture = timed(Stage::pngDecode, [&] { return image::screenPicture(*bytes, size.width, size.height); });
    if (!picture) reject(msg::captureUnavailable);
    if (picture->width < 1) reject(msg::captureEmptyOrResized);
    traceCount(Screenshot::tool);
    return std::move(*picture);
}

Image captureByToolWatched(Context& context, const Window& window) {
    try {
        return captureByTool(*context.platform, window);
    } catch (...) {
        if (!context.pendingCapture->pending()) throw;
    }
    // The count may have dropped since; blockTool then does nothing, and
    // this one capture still reports the prompt.
    context.pendingCapture->blockTool();
    reject(screenWaitingMessage(*context.platform));
}

}  // namespace quillgate
