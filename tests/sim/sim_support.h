#pragma once
// Building simulated desktops from inline scenes and reading back their
// event logs in the tests of the simulated desktop.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backends/sim/sim_platform.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/scoped_env.h"

namespace quillgate::sim::testing {

using quillgate::testing::eventLines;
using quillgate::testing::jsonText;
using quillgate::testing::parseJson;

inline KeyboardEvent key(uint16_t code, bool down, std::optional<int32_t> pid = std::nullopt,
                         std::optional<uint64_t> flags = std::nullopt) {
    KeyboardEvent event;
    event.code = code;
    event.down = down;
    event.pid = pid;
    event.flags = flags;
    return event;
}

inline MouseEvent mouseEvent(int32_t type, Point location = {}, int32_t button = mouse::leftButton,
                             std::optional<int64_t> clickState = std::nullopt) {
    MouseEvent event;
    event.type = type;
    event.location = location;
    event.button = button;
    event.clickState = clickState;
    return event;
}

inline ScrollEvent scroll(int32_t lines, Point location) {
    ScrollEvent event;
    event.lines = lines;
    event.location = location;
    return event;
}

// A desktop that keeps its events for the test.
inline std::shared_ptr<SimPlatform> desktop(std::string_view scene, std::string baseDir = ".") {
    auto d = SimPlatform::fromText(scene, std::move(baseDir));
    d->keepEvents();
    return d;
}

// One pixel's premultiplied RGBA.
inline std::array<int, 4> rgbaAt(const Image& image, int x, int y) {
    const uint8_t* p = image.row(y) + static_cast<size_t>(x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

using quillgate::testing::ScopedEnv;

// A fresh folder under the temporary directory, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillgate-sim-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(path_.empty());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace quillgate::sim::testing
