#include "backends/x11/capture_tool.h"

#include <charconv>

namespace quillgate::x11 {

std::optional<ToolRequest> toolRequest(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return std::nullopt;
    std::optional<uint32_t> window;
    for (const std::string& argument : arguments) {
        if (argument.size() <= 2 || argument.compare(0, 2, "-l") != 0) continue;
        uint32_t id = 0;
        const char* end = argument.data() + argument.size();
        const auto [stop, error] = std::from_chars(argument.data() + 2, end, id);
        if (error != std::errc() || stop != end) return std::nullopt;
        window = id;
    }
    const std::string& path = arguments.back();
    if (!window || path.empty() || path.front() == '-') return std::nullopt;
    return ToolRequest{*window, path};
}

Command importCommand(uint32_t frame, const std::string& path) {
    // "png:" fixes the format whatever the file is called; -silent keeps the
    // bell quiet like the tool's -x.
    return Command{importTool, {"-silent", "-window", std::to_string(frame), "png:" + path}};
}

}  // namespace quillgate::x11
