#pragma once
// The screenshot tool the core starts is the macOS one; here ImageMagick's
// import takes its place. It captures one window by id into a PNG file, which
// is all the core reads back. (xwd would need a second converter to make a
// PNG; import is one process.)

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillgate::x11 {

inline constexpr const char* macScreenshotTool = "/usr/sbin/screencapture";
inline constexpr const char* importTool = "/usr/bin/import";

struct Command {
    std::string executable;
    std::vector<std::string> arguments;
    bool operator==(const Command&) const = default;
};

// The window ("-l<id>") and output path (the last argument) of a screenshot
// tool command; absent when the arguments name no window or no file.
struct ToolRequest {
    uint32_t window = 0;
    std::string path;
};
std::optional<ToolRequest> toolRequest(const std::vector<std::string>& arguments);

// import capturing the given X window (the frame, so that the picture is the
// window's frame like the rest of the capture) as PNG into the path.
Command importCommand(uint32_t frame, const std::string& path);

}  // namespace quillgate::x11
