// The capture bookkeeping through time on a simulated desktop: what a late
// screenshot leaves for later captures, and the accounting of raced ones.
// The race outcomes themselves are in the e2e transcripts.

#ifdef __APPLE__
#include <mach/mach.h>
#endif
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "capture/capture.h"
#include "capture/encoding.h"
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

TEST(Capture, ALateScreenshotEndsItsCountWhenItReturnsAndTheBackOffOutlastsIt) {
    Object scene = testing::chatScene();
    scene["sck"] = Object{{"delay", 10}};
    Harness h(scene);
    Context& context = h.main().context();
    const double before = h.desktop().now();
    captureChat(h);
    // Set when the timer fired, 3 seconds in.
    EXPECT_EQ(context.sckBadUntil, before + 303);
    EXPECT_TRUE(context.pendingCapture->pending()) << "the screenshot outlives its request";

    ASSERT_TRUE(h.settle(10));
    captureChat(h);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool"}));

    // Once the back-off has run out (brought near rather than waited for),
    // the service is asked again.
    context.sckBadUntil = h.desktop().now() + 1;
    h.desktop().sleep(1.5);
    captureChat(h);
    EXPECT_EQ(captureCalls(h), (Calls{"content", "screenshot", "tool", "tool", "content", "screenshot", "tool"}));
}

// Threads of this process alive now, as the system lists them: the kernel's
// task on a Mac, /proc elsewhere.
#ifdef __APPLE__
size_t threadCount() {
    thread_act_array_t threads = nullptr;
    mach_msg_type_number_t count = 0;
    if (task_threads(mach_task_self(), &threads, &count) != KERN_SUCCESS) return 0;
    for (mach_msg_type_number_t i = 0; i < count; ++i) mach_port_deallocate(mach_task_self(), threads[i]);
    vm_deallocate(mach_task_self(), reinterpret_cast<vm_address_t>(threads), count * sizeof(thread_act_t));
    return count;
}
constexpr bool threadsListed = true;
#else
size_t threadCount() {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                             std::filesystem::directory_iterator()));
}
const bool threadsListed = std::filesystem::exists("/proc/self/task");
#endif

TEST(Capture, TwoHundredGuardedChecksLeaveNoThreadBehind) {
    if (!threadsListed) GTEST_SKIP() << "no per-process thread list here";
    Object scene = testing::chatScene();
    scene["sck"] = Object{{"delay", 0}};
    Harness h(scene);
    Object guard{{"x", 0}, {"y", 0}, {"width", 900}, {"height", 56}};
    guard["hash"] = hash(captureChat(h), guardRegion(guard));
    Object bound = testing::chatBinding();
    bound["guard"] = guard;
    const std::string line = testing::jsonText(Object{{"op", "check"}, {"bound", bound}});

    const size_t before = threadCount();
    for (int i = 0; i < 200; ++i) ASSERT_EQ(h.send(line), R"({"ok":true})") << "check " << i;
    // A screenshot thread hands its picture over just before it ends, so one
    // may still be on its way out.
    EXPECT_LE(threadCount(), std::max<size_t>(before + 1, 4));
}

TEST(Capture, ARacedShotCountsUntilItReturnsAndItsLateResultIsDropped) {
    Harness h(testing::chatScene());
    Context& context = h.main().context();
    const Image picture(2, 1);
    EXPECT_EQ(race(context, [&] {
                  EXPECT_TRUE(context.pendingCapture->pending());
                  return picture;
              }).width,
              2);
    EXPECT_FALSE(context.pendingCapture->pending());
    EXPECT_THROW(race(context, []() -> Image { throw PlatformError("SCStreamErrorDomain", -3812); }), PlatformError);
    EXPECT_FALSE(context.pendingCapture->pending());

    // A shot slower than the timer: the caller gets the timeout, the shot
    // stays counted until it returns, and what it held is released then.
    auto held = std::make_shared<int>(0);
    std::weak_ptr<int> watch = held;
    EXPECT_THROW(race(context, [platform = context.platform, held = std::move(held)] {
                     platform->sleep(5);
                     return Image(1, 1);
                 }),
                 CaptureTimeout);
    EXPECT_TRUE(context.pendingCapture->pending());
    EXPECT_FALSE(watch.expired());
    ASSERT_TRUE(h.settle(5));
    for (int i = 0; i < 100 && !watch.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(watch.expired()) << "the late shot still holds what it captured";
}

}  // namespace
}  // namespace quillgate
