// The capture race and its bookkeeping on a simulated desktop: which way a
// capture goes (service, watched tool, plain tool, refusal) given how the
// screenshot service and the tool behave, and what it leaves for the next.

#include <gtest/gtest.h>

#include "capture/capture.h"
#include "service/failure.h"
#include "support/captures.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::at;
using testing::captureCalls;
using testing::captureChat;
using testing::Harness;
using Calls = std::vector<std::string>;

const std::string permissionRefusal(msg::screenPermission);
const std::string waitingNoPrompt = std::string(msg::screenWaiting) + "; prompt=no";

// The timer must lose wherever the service answers at once, and win where it
// answers late or never; the latter need no slow clock.
Object sceneWith(Value sck, Value tool = Object{}, bool serviceWins = true) {
    Object scene = serviceWins ? testing::unhurriedChatScene() : testing::chatScene();
    scene["sck"] = std::move(sck);
    scene["tool"] = std::move(tool);
    return scene;
}

// The chat window's picture: its header strip and the conversation below.
void expectChatPicture(const testing::Outcome& outcome) {
    ASSERT_TRUE(outcome.image) << outcome.refusal;
    EXPECT_EQ(outcome.image->width, 900);
    EXPECT_EQ(outcome.image->height, 600);
    EXPECT_EQ(testing::colourAt(*outcome.image, 450, 20), "#e6e6e6");
    EXPECT_EQ(testing::colourAt(*outcome.image, 450, 300), "#f5f5f5");
}

TEST(Capture, AFastAnswerIsTheServicesPictureAndLeavesNothingOutstanding) {
    Harness h(sceneWith(Object{{"delay", 0.5}}));
    expectChatPicture(captureChat(h));
    EXPECT_FALSE(h.main().context().pendingCapture->pending());
    // The losing timer fires later and changes nothing.
    h.desktop().sleep(4);
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "content", "screenshot"}));
}

TEST(Capture, ALateAnswerFallsBackToTheToolAndTheServiceIsLeftAloneAfterwards) {
    Harness h(sceneWith(Object{{"delay", 30}}, Object{}, false));
    Context& context = h.main().context();
    const double before = h.desktop().now();
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool"}));
    // Set when the timer fired, 3 seconds in.
    EXPECT_GE(context.sckBadUntil, before + 303);
    EXPECT_LE(context.sckBadUntil, h.desktop().now() + 300);

    // While the screenshot is outstanding the tool is used directly.
    ASSERT_TRUE(context.pendingCapture->pending());
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h).size(), 4u);

    // Its late answer ends the count; the back-off still holds.
    ASSERT_TRUE(testing::settle(h, 40));
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool", "tool"}));
}

TEST(Capture, AToolFailureWhileAScreenshotHangsBlocksEveryCaptureUntilItReturns) {
    Harness h(sceneWith(Object{{"delay", 12}}, Object{{"launch", false}}, false));
    EXPECT_EQ(captureChat(h).refusal, waitingNoPrompt);
    EXPECT_TRUE(h.main().context().pendingCapture->blocked());
    // Blocked: refused at once, the tool not even started.
    EXPECT_EQ(captureChat(h).refusal, waitingNoPrompt);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool"}));

    // Once the screenshot returns the tool is tried again, and its own
    // failure (a launch error) is the answer.
    ASSERT_TRUE(testing::settle(h, 20));
    EXPECT_THROW(capture(h.main().context(), testing::chatWindow()), PlatformError);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool"}));
}

TEST(Capture, AServiceThatNeverAnswersStaysOutstanding) {
    Object scene = sceneWith(Object{{"delay", nullptr}}, Object{}, false);
    scene["timeline"] = Array{Object{{"at", 5}, {"merge", Object{{"tool", Object{{"writes", false}}}}}}};
    Harness h(scene);
    expectChatPicture(captureChat(h));
    h.desktop().sleep(6);
    EXPECT_EQ(captureChat(h).refusal, waitingNoPrompt);
    EXPECT_EQ(captureChat(h).refusal, waitingNoPrompt);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool"}));
}

TEST(Capture, ADeclineTakesOneToolPictureAndSkipsTheServiceForTheBackOff) {
    Object scene = sceneWith(Object{{"content", "error"}});
    scene["screenRecording"] = false;
    Harness h(scene);
    Context& context = h.main().context();
    const double before = h.desktop().now();
    expectChatPicture(captureChat(h));
    EXPECT_GE(context.sckBadUntil, before + 300);
    EXPECT_LE(context.sckBadUntil, h.desktop().now() + 300);
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h), (Calls{"content", "tool", "tool"}));

    // The service is asked again once the back-off has run out (brought
    // near, rather than waited for).
    context.sckBadUntil = h.desktop().now() + 1;
    expectChatPicture(captureChat(h));
    h.desktop().sleep(1.5);
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h), (Calls{"content", "tool", "tool", "tool", "content", "tool"}));
}

TEST(Capture, ADeclineWithAFailingToolIsThePermissionRefusal) {
    for (Value tool : {Value(Object{{"writes", false}}), Value(Object{{"launch", false}})}) {
        Object scene = sceneWith(Object{{"content", "error"}}, tool);
        scene["screenRecording"] = false;
        Harness h(scene);
        EXPECT_EQ(captureChat(h).refusal, permissionRefusal) << testing::jsonText(tool);
        EXPECT_FALSE(h.main().context().pendingCapture->pending());
    }
}

TEST(Capture, OtherServiceErrorsFallBackToTheToolWithoutBackOff) {
    Harness h(sceneWith(Object{{"error", Object{{"domain", "SCStreamErrorDomain"}, {"code", -3805}}}}));
    expectChatPicture(captureChat(h));
    expectChatPicture(captureChat(h));
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "content", "screenshot", "tool"}));

    // A failure of the watched tool with nothing outstanding is its own.
    Harness failing(sceneWith(Object{{"content", "error"}}, Object{{"writes", false}}));
    EXPECT_EQ(captureChat(failing).refusal, msg::captureUnavailable);
}

TEST(Capture, TheServicesVerdictOnTheWindowIsFinal) {
    // Listed under another process only: not the bound window.
    Harness other(sceneWith(Object{{"windows", Array{Object{{"windowID", 60}, {"pid", 777}},
                                                     Object{{"windowID", 60}, {"pid", nullptr}}}}}));
    EXPECT_EQ(captureChat(other).refusal, msg::captureUnavailable);
    EXPECT_EQ(captureCalls(other), (Calls{"content"}));

    // Resized between listing and screenshot.
    Harness resized(sceneWith(Object{{"size", Array{899, 600}}}));
    EXPECT_EQ(captureChat(resized).refusal, msg::captureEmptyOrResized);
    EXPECT_EQ(captureCalls(resized), (Calls{"content", "screenshot"}));
    EXPECT_FALSE(resized.main().context().pendingCapture->pending());
}

TEST(Capture, AFractionalFrameGivesAWholePointPictureOnBothPaths) {
    for (Value sck : {Value(Object{}), Value(Object{{"content", "error"}})}) {
        Object scene = sceneWith(sck, Object{{"scale", 2}});
        Value& bounds = at(at(scene["windows"], 0), "kCGWindowBounds");
        at(bounds, "Width") = 900.7;
        at(bounds, "Height") = 600.2;
        Harness h(scene);
        Window window = testing::chatWindow();
        window.rect.width = 900.7;
        window.rect.height = 600.2;
        const Image image = capture(h.main().context(), window);
        EXPECT_EQ(image.width, 900);
        EXPECT_EQ(image.height, 600);
        EXPECT_EQ(testing::colourAt(image, 450, 300), "#f5f5f5");
        if (sck.asObject()->empty()) {
            const Value shot = h.events().back();
            EXPECT_EQ(*shot.find("call")->asString(), "screenshot");
            EXPECT_EQ(*shot.find("width")->asNumber(), 900);
            EXPECT_EQ(*shot.find("height")->asNumber(), 600);
        }
    }
}

TEST(Capture, TrackedScreenshotsCountWhileTheyRunAndAreRefusedWhenBlocked) {
    Harness h(testing::chatScene());
    Context& context = h.main().context();
    EXPECT_EQ(trackedSCK(context, [&] { return context.pendingCapture->pending(); }), true);
    EXPECT_FALSE(context.pendingCapture->pending());

    EXPECT_THROW(trackedSCK(context, []() -> int { throw PlatformError("SCStreamErrorDomain", -3812); }),
                 PlatformError);
    EXPECT_FALSE(context.pendingCapture->pending());

    context.pendingCapture->begin();
    context.pendingCapture->blockTool();
    bool ran = false;
    try {
        trackedSCK(context, [&] { return ran = true; });
        ADD_FAILURE() << "a blocked tracked screenshot ran";
    } catch (const GuardFailure& f) {
        EXPECT_EQ(f.message, waitingNoPrompt);
    }
    EXPECT_FALSE(ran);
    context.pendingCapture->end();
}

}  // namespace
}  // namespace quillgate
