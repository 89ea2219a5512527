#pragma once
// `quillgate --record-scene DIR [--redact]`: the live desktop, read once
// through the port, written as a scene the simulated desktop loads
// (DIR/scene.json and one PNG per window picture). It only reads: it posts
// no input and changes nothing on the desktop.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "recorder/ax_tree.h"

namespace quillgate::recorder {

struct RecordRequest {
    std::string folder;
    bool redact = false;
};

// The request the command line makes, when it asks for a recording:
// --record-scene DIR, optionally followed by --redact.
std::optional<RecordRequest> requested(const std::vector<std::string>& arguments);

struct Recording {
    Object scene;                                         // scene.json, pictures named by file
    std::vector<std::pair<std::string, Image>> pictures;  // file name and picture; none when redacted
    int elements = 0;                                     // accessibility elements recorded
};

Recording recordScene(std::shared_ptr<Platform> platform, bool redact, const TreeLimits& limits = {});

// Writes scene.json and the pictures into `folder`, creating it when
// missing. Throws std::runtime_error naming the file that cannot be written.
void writeScene(const Recording& recording, const std::string& folder);

// The mode: records, writes, and prints one JSON line saying what it wrote
// ({"ok", "scene", "pictures", "elements", "cuts"}) or why it could not
// ({"ok": false, "error"}); the exit status, 0 or 1.
int run(std::shared_ptr<Platform> platform, const RecordRequest& request);

}  // namespace quillgate::recorder
