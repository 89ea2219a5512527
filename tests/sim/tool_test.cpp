// The screenshot tool as a child process in simulated time: what it writes,
// when, at which scale, and what stopping it does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "image/png.h"
#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::eventLines;
using testing::rgbaAt;

std::string sceneWith(const std::string& extra) {
    return R"({"clock": "virtual", "windows": [
      {"kCGWindowNumber": 7, "kCGWindowOwnerPID": 70, "kCGWindowIsOnscreen": true,
       "kCGWindowBounds": {"X": 5, "Y": 5, "Width": 20.7, "Height": 10.2}}],
      "pixels": {"7": {"fill": "#336699"}})" +
           extra + "}";
}

std::vector<std::string> arguments(const std::string& path, const std::string& window = "-l7") {
    return {"-x", "-o", window, "-t", "png", path};
}

std::optional<Image> written(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return image::decodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

TEST(SimTool, WritesTheWindowAtItsScaleWhenItsDelayHasPassed) {
    testing::TempFolder folder;
    std::string path = folder.file("shot.png");
    auto d = desktop(sceneWith(R"(, "tool": {"delay": 50, "scale": 2})"));
    auto tool = d->launch("/usr/sbin/screencapture", arguments(path));
    d->sleep(49.9);
    EXPECT_TRUE(tool->running());
    EXPECT_FALSE(std::filesystem::exists(path));
    d->sleep(0.1);
    EXPECT_FALSE(tool->running());
    auto image = written(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 41);   // 20.7 x 2, truncated
    EXPECT_EQ(image->height, 20);  // 10.2 x 2, truncated
    EXPECT_EQ(rgbaAt(*image, 40, 19), (std::array{0x33, 0x66, 0x99, 255}));
    // An exited tool cannot be stopped any more.
    tool->terminate();
    EXPECT_EQ(eventLines(*d),
              eventLines({R"({"what":"tool","args":["-x","-o","-l7","-t","png",")" + path + R"("],"launched":true})"}));
}

TEST(SimTool, ShowsTheWindowAsItIsWhenTheToolFinishes) {
    testing::TempFolder folder;
    auto repainted = desktop(
        sceneWith(R"(, "reactions": [{"on": {"tool": true}, "merge": {"pixels": {"7": {"fill": "#000000"}}}}])"));
    auto tool = repainted->launch("screencapture", arguments(folder.file("a.png")));
    repainted->sleep(0.02);
    EXPECT_FALSE(tool->running());
    auto image = written(folder.file("a.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 20);
    EXPECT_EQ(rgbaAt(*image, 0, 0), (std::array{0, 0, 0, 255}));

    // Gone from the screen by then, or never there: nothing is written.
    auto hidden = desktop(sceneWith(R"(, "reactions": [{"on": {"tool": true}, "merge": {"windows": []}}])"));
    auto gone = hidden->launch("screencapture", arguments(folder.file("b.png")));
    auto unknown = hidden->launch("screencapture", arguments(folder.file("c.png"), "-l8"));
    hidden->sleep(0.02);
    EXPECT_FALSE(gone->running());
    EXPECT_FALSE(unknown->running());
    EXPECT_FALSE(std::filesystem::exists(folder.file("b.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("c.png")));
}

TEST(SimTool, FailingSilentAndTerminatedTools) {
    testing::TempFolder folder;
    std::string path = folder.file("shot.png");
    auto broken = desktop(sceneWith(R"(, "tool": {"launch": false}, "apps": [{"pid": 1}],
                                        "reactions": [{"on": {"tool": true}, "merge": {"frontmost": 1}}])"));
    EXPECT_THROW(broken->launch("screencapture", arguments(path)), PlatformError);
    // A tool that did not start set off no reaction.
    EXPECT_FALSE(broken->frontmostApplication());
    EXPECT_EQ(eventLines(*broken),
              eventLines({R"({"what":"tool","args":["-x","-o","-l7","-t","png",")" + path + R"("],"launched":false})"}));

    auto silent = desktop(sceneWith(R"(, "tool": {"writes": false})"));
    auto quiet = silent->launch("screencapture", arguments(path));
    silent->sleep(0.02);
    EXPECT_FALSE(quiet->running());
    EXPECT_FALSE(std::filesystem::exists(path));

    auto slow = desktop(sceneWith(R"(, "tool": {"delay": 1})"));
    auto stopped = slow->launch("screencapture", {"-l7", path});
    stopped->terminate();
    slow->sleep(2);
    EXPECT_FALSE(stopped->running());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(eventLines(*slow), eventLines({R"({"what":"tool","args":["-l7",")" + path + R"("],"launched":true})",
                                        R"({"what":"toolTerminated","args":["-l7",")" + path + R"("]})"}));
}

}  // namespace
}  // namespace quillgate::sim
