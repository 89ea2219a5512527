// The screenshot tool's file: only what this run of the tool wrote is ever
// read, and nothing is left behind however the run ends.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "capture/tool.h"
#include "core/failure.h"
#include "image/png.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"
#include "support/refusal.h"

namespace quillgate {
namespace {

using testing::Harness;

struct ToolRun {
    std::string refusal;
    bool fileLeft;
};

// One tool capture with a picture of the window as it looked long ago
// (solid red) left at the tool's path beforehand.
ToolRun afterStalePicture(Value tool, Window window = testing::chatWindow()) {
    Object scene = testing::chatScene();
    scene["tool"] = std::move(tool);
    Harness h(scene);
    Platform& p = h.desktop();
    const std::string path = p.temporaryDirectory() + "veskor-cap-" + std::to_string(p.ownPid()) + "-60.png";
    Image red(900, 600);
    for (size_t i = 0; i < red.rgba.size(); i += 4) red.rgba[i] = red.rgba[i + 3] = 255;
    const std::string png = image::encodePng(red);
    std::ofstream(path, std::ios::binary).write(png.data(), static_cast<std::streamsize>(png.size()));

    ToolRun run{"", false};
    run.refusal = testing::refusalOf([&] {
        const Image image = captureByTool(p, window);
        if (image.row(300)[0] == 255 && image.row(300)[1] == 0) reject("the stale picture came back");
    });
    run.fileLeft = ::access(path.c_str(), F_OK) == 0;
    return run;
}

TEST(Tool, NeverReadsAStalePictureAndLeavesNoFileBehind) {
    const ToolRun nothingWritten = afterStalePicture(Object{{"writes", false}});
    EXPECT_EQ(nothingWritten.refusal, msg::captureUnavailable);
    EXPECT_FALSE(nothingWritten.fileLeft);

    const ToolRun timedOut = afterStalePicture(Object{{"delay", 6}});
    EXPECT_EQ(timedOut.refusal, msg::captureTimeout);
    EXPECT_FALSE(timedOut.fileLeft);

    // A frame under a point wide is refused once the picture is in.
    Window thin = testing::chatWindow();
    thin.rect.width = 0.5;
    const ToolRun refused = afterStalePicture(Object{}, thin);
    EXPECT_EQ(refused.refusal, msg::captureEmptyOrResized);
    EXPECT_FALSE(refused.fileLeft);
}

}  // namespace
}  // namespace quillgate
