#pragma once
// The system screenshot tool ("tool") as the simulated desktop runs it: its
// settings, the arguments it understands, and the file it writes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/value.h"

namespace quillgate::sim {

struct ToolSettings {
    bool launches;
    double delay;  // simulated seconds from start to exit
    bool writes;
    double scale;  // pixels per point
};
ToolSettings toolSettings(const Value& scene);

// What the program asked of it: -x -o -l<window> -t png <path>.
struct ToolJob {
    std::optional<uint32_t> window;  // from -l<number> (or -l <number>)
    std::string output;              // the last argument
};
ToolJob parseToolArguments(const std::vector<std::string>& arguments);

// Writes the picture of the job's window as the scene shows it now, at its
// frame size times `scale` truncated, when the window is on screen; else
// writes nothing.
void writeToolPicture(const Value& scene, const std::string& baseDir, const ToolJob& job, double scale);

}  // namespace quillgate::sim
