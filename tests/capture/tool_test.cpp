// The screenshot tool fallback: how it is run, its deadline, the file it
// writes and what becomes of it, and the watched variant's blocking.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "capture/tool.h"
#include "image/png.h"
#include "service/failure.h"
#include "support/captures.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::captureCalls;
using testing::Harness;
using Calls = std::vector<std::string>;

Object sceneWithTool(Value tool) {
    Object scene = testing::chatScene();
    scene["tool"] = std::move(tool);
    return scene;
}

std::string capturePath(Harness& h) {
    Platform& p = h.desktop();
    return p.temporaryDirectory() + "veskor-cap-" + std::to_string(p.ownPid()) + "-60.png";
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// A picture of the window as it looked long ago: solid red.
void leaveStalePicture(const std::string& path) {
    Image red(900, 600);
    for (size_t i = 0; i < red.rgba.size(); i += 4) {
        red.rgba[i] = 255;
        red.rgba[i + 3] = 255;
    }
    const std::string png = image::encodePng(red);
    std::ofstream(path, std::ios::binary).write(png.data(), static_cast<std::streamsize>(png.size()));
    ASSERT_TRUE(exists(path));
}

std::string refusal(Harness& h, const Window& window = testing::chatWindow()) {
    try {
        captureByTool(h.desktop(), window);
        return "";
    } catch (const GuardFailure& f) {
        return f.message;
    }
}

TEST(Tool, RunsTheSystemToolOnTheWindowIntoItsOwnFileAndRemovesIt) {
    Harness h(sceneWithTool(Object{{"scale", 2}}));
    const Image image = captureByTool(h.desktop(), testing::chatWindow());
    EXPECT_EQ(image.width, 900) << "a Retina picture is scaled to one pixel per point";
    EXPECT_EQ(image.height, 600);
    EXPECT_EQ(testing::colourAt(image, 450, 20), "#e6e6e6");
    EXPECT_EQ(testing::colourAt(image, 450, 300), "#f5f5f5");

    const Value started = h.events().at(0);
    EXPECT_EQ(testing::jsonText(*started.find("args")),
              testing::jsonText(Array{"-x", "-o", "-l60", "-t", "png", capturePath(h)}));
    EXPECT_EQ(*started.find("launched")->asBool(), true);
    EXPECT_FALSE(exists(capturePath(h)));
}

TEST(Tool, AToolStillRunningAtTheDeadlineIsStoppedAndLeavesNoFile) {
    Harness h(sceneWithTool(Object{{"delay", 6}}));
    leaveStalePicture(capturePath(h));
    EXPECT_EQ(refusal(h), msg::captureTimeout);
    EXPECT_EQ(captureCalls(h), (Calls{"tool", "toolTerminated"}));
    EXPECT_FALSE(exists(capturePath(h)));

    // Inside the deadline it is waited for.
    Object slowScene = sceneWithTool(Object{{"delay", 4}});
    slowScene["timeScale"] = 0.1;
    Harness slow(slowScene);
    EXPECT_EQ(refusal(slow), "");
    EXPECT_EQ(captureCalls(slow), (Calls{"tool"}));
}

TEST(Tool, APictureLeftByAnEarlierRunIsNeverTakenForTheLiveWindow) {
    Harness h(sceneWithTool(Object{{"writes", false}}));
    leaveStalePicture(capturePath(h));
    EXPECT_EQ(refusal(h), msg::captureUnavailable);
    EXPECT_FALSE(exists(capturePath(h)));

    Harness writing(sceneWithTool(Object{}));
    leaveStalePicture(capturePath(writing));
    const Image image = captureByTool(writing.desktop(), testing::chatWindow());
    EXPECT_EQ(testing::colourAt(image, 450, 300), "#f5f5f5");
}

TEST(Tool, RefusalsOfAToolThatRanButGaveNoUsablePicture) {
    // A window gone from the screen by the time the tool looks: no file.
    Object gone = sceneWithTool(Object{});
    gone["windows"] = Array{};
    Harness noFile(gone);
    EXPECT_EQ(refusal(noFile), msg::captureUnavailable);

    // A frame under one point wide, checked once the picture is in.
    Harness thin(sceneWithTool(Object{}));
    Window window = testing::chatWindow();
    window.rect.width = 0.5;
    EXPECT_EQ(refusal(thin, window), msg::captureEmptyOrResized);
    EXPECT_EQ(captureCalls(thin), (Calls{"tool"}));
    EXPECT_FALSE(exists(capturePath(thin)));
}

TEST(Tool, ALaunchFailureIsThePlatformsOwnError) {
    Harness h(sceneWithTool(Object{{"launch", false}}));
    EXPECT_THROW(captureByTool(h.desktop(), testing::chatWindow()), PlatformError);
    EXPECT_EQ(*h.events().at(0).find("launched")->asBool(), false);
}

TEST(Tool, AWatchedFailureBlocksTheToolOnlyWhileAScreenshotIsOutstanding) {
    Harness h(sceneWithTool(Object{{"writes", false}}));
    Context& context = h.main().context();
    try {
        captureByToolWatched(context, testing::chatWindow());
        ADD_FAILURE() << "the tool wrote nothing, yet a picture came back";
    } catch (const GuardFailure& f) {
        EXPECT_EQ(f.message, msg::captureUnavailable);
    }
    EXPECT_FALSE(context.pendingCapture->blocked());

    for (Value tool : {Value(Object{{"writes", false}}), Value(Object{{"launch", false}})}) {
        Harness again(sceneWithTool(tool));
        Context& c = again.main().context();
        c.pendingCapture->begin();
        try {
            captureByToolWatched(c, testing::chatWindow());
            ADD_FAILURE() << "no picture expected";
        } catch (const GuardFailure& f) {
            EXPECT_TRUE(f.message.starts_with(msg::screenWaiting)) << f.message;
            EXPECT_TRUE(f.message.ends_with("; prompt=no")) << f.message;
        }
        EXPECT_TRUE(c.pendingCapture->blocked());
    }
}

}  // namespace
}  // namespace quillgate
