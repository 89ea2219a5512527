// The capture bookkeeping through time on a simulated desktop: what a late
// screenshot leaves for later captures, and the accounting of tracked ones.
// The race outcomes themselves are in the e2e transcripts.

#include <gtest/gtest.h>

#include "capture/capture.h"
#include "core/failure.h"
#include "core/values.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::Harness;
using Calls = std::vector<std::string>;

Image captureChat(Harness& h) { return capture(h.main().context(), testing::chatWindow()); }

// The calls made of the screenshot service and the tool so far, in order.
Calls captureCalls(const Harness& h) {
    Calls calls;
    for (const Value& event : h.events()) {
        const std::string what = text(event.find("what"));
        if (what == "sck") calls.push_back(text(event.find("call")));
        if (what == "tool") calls.push_back(what);
    }
    return calls;
}

// Lets simulated time pass until no screenshot is outstanding; false when
// one still is after `seconds`.
bool settle(Harness& h, double seconds) {
    for (double waited = 0; h.main().context().pendingCapture->pending(); waited += 0.25) {
        if (waited >= seconds) return false;
        h.desktop().sleep(0.25);
    }
    return true;
}

TEST(Capture, ALateScreenshotEndsItsCountWhenItReturnsAndTheBackOffOutlastsIt) {
    Object scene = testing::chatScene();
    scene["sck"] = Object{{"delay", 30}};
    Harness h(scene);
    Context& context = h.main().context();
    const double before = h.desktop().now();
    captureChat(h);
    // Set when the timer fired, 3 seconds in.
    EXPECT_GE(context.sckBadUntil, before + 303);
    EXPECT_LE(context.sckBadUntil, h.desktop().now() + 300);
    EXPECT_TRUE(context.pendingCapture->pending()) << "the screenshot outlives its request";

    ASSERT_TRUE(settle(h, 40));
    captureChat(h);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool"}));

    // Once the back-off has run out (brought near rather than waited for),
    // the service is asked again.
    context.sckBadUntil = h.desktop().now() + 1;
    h.desktop().sleep(1.5);
    captureChat(h);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool", "content", "screenshot", "tool"}));
}

TEST(Capture, TrackedScreenshotsCountWhileTheyRunAndAreRefusedWhenBlocked) {
    Harness h(testing::chatScene());
    Context& context = h.main().context();
    EXPECT_TRUE(trackedSCK(context, [&] { return context.pendingCapture->pending(); }));
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
        EXPECT_EQ(f.message, std::string(msg::screenWaiting) + "; prompt=no");
    }
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace quillgate
