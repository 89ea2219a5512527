// The screenshot service: what it lists, how long it takes, what it answers
// and that a screenshot that never answers blocks nobody else.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <thread>

#include "image/png.h"
#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::eventLines;
using testing::rgbaAt;

// Runs a screenshot on a thread of its own, as the capture pipeline does.
Image shoot(const std::shared_ptr<SimPlatform>& d, uint32_t id, int width, int height) {
    Image image;
    std::exception_ptr failure;
    // The thread is the desktop's helper while it works, as the pipeline's is.
    std::thread([&, helper = d->helper()] {
        try {
            image = d->screenshot(id, width, height);
        } catch (...) {
            failure = std::current_exception();
        }
    }).join();
    if (failure) std::rethrow_exception(failure);
    return image;
}

void expectError(const std::function<void()>& call, const std::string& domain, int64_t code) {
    try {
        call();
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.domain, domain);
        EXPECT_EQ(e.code, code);
    }
}

constexpr const char* window7 = R"(
    {"kCGWindowNumber": 7, "kCGWindowOwnerPID": 70, "kCGWindowIsOnscreen": true,
     "kCGWindowBounds": {"X": 5, "Y": 5, "Width": 40.9, "Height": 30.5}})";

std::string sceneWith(const std::string& extra) {
    return std::string(R"({"timeScale": 0.001, "windows": [)") + window7 + R"(],
      "pixels": {"7": {"fill": "#102030",
                       "rects": [{"x": 0, "y": 0, "width": 40, "height": 5, "fill": "#ff000080"}]}})" +
           extra + "}";
}

TEST(SimShareable, ListsOnScreenWindowsOrWhatTheSceneSays) {
    auto d = desktop(R"({"windows": [
      {"kCGWindowNumber": 7, "kCGWindowOwnerPID": 70, "kCGWindowIsOnscreen": true},
      {"kCGWindowNumber": 8, "kCGWindowIsOnscreen": true},
      {"kCGWindowNumber": 9, "kCGWindowOwnerPID": 90, "kCGWindowIsOnscreen": false}
    ]})");
    auto windows = d->shareableWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].windowID, 7u);
    EXPECT_EQ(windows[0].pid, 70);
    EXPECT_EQ(windows[1].windowID, 8u);
    EXPECT_FALSE(windows[1].pid);

    auto listed = desktop(R"({"sck": {"windows": [{"windowID": 3, "pid": null}, {"windowID": 4, "pid": 40}]}})");
    windows = listed->shareableWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_FALSE(windows[0].pid);
    EXPECT_EQ(windows[1].pid, 40);
}

TEST(SimShareable, ContentErrorsDependOnThePermissionAndAreLogged) {
    auto refused = desktop(R"({"sck": {"content": "error"}})");
    expectError([&] { refused->shareableWindows(); }, "SCStreamErrorDomain", -3805);
    auto declined = desktop(R"({"sck": {"content": "error"}, "screenRecording": false})");
    expectError([&] { declined->shareableWindows(); }, "SCStreamErrorDomain", -3801);
    EXPECT_EQ(eventLines(*declined), eventLines({R"({"what":"sck","call":"content"})"}));
    // Without the permission but with content "ok", listing still works.
    EXPECT_NO_THROW(desktop(R"({"screenRecording": false})")->shareableWindows());
}

TEST(SimScreenshot, RendersTheWindowAtTheConfiguredSizeAfterTheDelay) {
    auto d = desktop(sceneWith(R"(, "sck": {"delay": 30})"));
    Image image = shoot(d, 7, 40, 30);
    EXPECT_GE(d->monotonic(), 30);
    ASSERT_EQ(image.width, 40);
    ASSERT_EQ(image.height, 30);
    EXPECT_EQ(rgbaAt(image, 39, 29), (std::array{16, 32, 48, 255}));
    // Half-transparent red over the fill, premultiplied.
    EXPECT_EQ(rgbaAt(image, 0, 0), (std::array{136, 16, 24, 255}));
    EXPECT_EQ(rgbaAt(image, 39, 4), (std::array{136, 16, 24, 255}));
    EXPECT_EQ(rgbaAt(image, 0, 5), (std::array{16, 32, 48, 255}));
    EXPECT_EQ(eventLines(*d), eventLines({R"({"what":"sck","call":"screenshot","windowID":7,"width":40,"height":30})"}));

    // The configured size scales the picture.
    Image half = shoot(d, 7, 20, 15);
    ASSERT_EQ(half.width, 20);
    EXPECT_EQ(rgbaAt(half, 0, 2), (std::array{136, 16, 24, 255}));
    EXPECT_EQ(rgbaAt(half, 0, 3), (std::array{16, 32, 48, 255}));
}

TEST(SimScreenshot, SizeOverrideErrorsAndVanishedWindows) {
    auto sized = desktop(sceneWith(R"(, "sck": {"size": [80, 60]})"));
    Image image = shoot(sized, 7, 40, 30);
    EXPECT_EQ(image.width, 80);
    EXPECT_EQ(image.height, 60);
    EXPECT_EQ(eventLines(*sized), eventLines({R"({"what":"sck","call":"screenshot","windowID":7,"width":40,"height":30})"}));

    auto failing = desktop(sceneWith(R"(, "sck": {"error": {"domain": "SCStreamErrorDomain", "code": -3801}})"));
    expectError([&] { shoot(failing, 7, 40, 30); }, "SCStreamErrorDomain", -3801);

    expectError([&] { shoot(desktop(sceneWith("")), 8, 40, 30); }, "SCStreamErrorDomain", -3812);
    // The window leaves the screen while the screenshot is being taken.
    auto leaving = desktop(sceneWith(R"(, "reactions": [{"on": {"sck": true}, "merge": {"windows": []}}])"));
    expectError([&] { shoot(leaving, 7, 40, 30); }, "SCStreamErrorDomain", -3812);
}

TEST(SimScreenshot, PngBaseIsScaledToTheWindow) {
    testing::TempFolder folder;
    Image blue(3, 2);
    for (size_t i = 0; i < blue.rgba.size(); i += 4) blue.rgba[i + 2] = blue.rgba[i + 3] = 255;
    std::string png = image::encodePng(blue);
    ASSERT_FALSE(png.empty());
    std::ofstream(folder.file("base.png"), std::ios::binary) << png;
    auto d = desktop(R"({"windows": [)" + std::string(window7) + R"(],
      "pixels": {"7": {"png": "base.png", "fill": "#ffffff",
                       "rects": [{"x": 20, "y": 0, "width": 20, "height": 30, "fill": "#00ff00"}]}}})",
                     folder.path());
    Image image = shoot(d, 7, 40, 30);
    EXPECT_EQ(rgbaAt(image, 0, 0), (std::array{0, 0, 255, 255}));
    EXPECT_EQ(rgbaAt(image, 19, 29), (std::array{0, 0, 255, 255}));
    EXPECT_EQ(rgbaAt(image, 20, 0), (std::array{0, 255, 0, 255}));
}

TEST(SimScreenshot, NeverAnsweringBlocksOnlyItsOwnThread) {
    auto d = desktop(sceneWith(R"(, "sck": {"delay": null})"));
    auto answered = std::make_shared<std::atomic<bool>>(false);
    std::thread([d, answered] {
        try {
            d->screenshot(7, 40, 30);
        } catch (...) {
        }
        *answered = true;
    }).detach();
    while (d->events().empty()) d->sleep(1);
    EXPECT_TRUE(d->windowList(WindowListOption::onScreenExcludeDesktop));
    EXPECT_TRUE(d->post(testing::key(1, true)));
    d->sleep(100);
    EXPECT_FALSE(*answered);
    EXPECT_EQ(eventLines(*d), eventLines({R"({"what":"sck","call":"screenshot","windowID":7,"width":40,"height":30})",
                                     R"({"what":"key","code":1,"down":true,"flags":0,"to":"hid"})"}));
}

}  // namespace
}  // namespace quillgate::sim
