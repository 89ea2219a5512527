// The conversation guard in front of every operation on the bound window,
// driven through requests as the host sends them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "service/failure.h"
#include "support/binding_requests.h"
#include "support/captures.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::boundRequest;
using testing::errorOf;
using testing::Harness;

const std::string headerChanged(msg::headerChanged);
const std::string obscured(msg::headerObscured);
const std::string moved(msg::moved);

size_t screenshots(const Harness& h) {
    const auto calls = testing::captureCalls(h);
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), "screenshot"));
}

// chatScene() with its header painted another colour, as after switching
// to another conversation.
Object otherConversation() {
    Object scene = testing::unhurriedChatScene();
    testing::at(testing::at(testing::at(scene["pixels"], "60"), "rects"), 0) =
        Object{{"x", 0}, {"y", 0}, {"width", 900}, {"height", 56}, {"fill", "#dddddd"}};
    return scene;
}

TEST(Guard, WithoutAGuardTheWindowIsVerifiedButNotCaptured) {
    Harness h(testing::unhurriedChatScene());
    for (Value guard : {Value(), Value("guard"), Value(5), Value(Array{})}) {
        EXPECT_EQ(errorOf(h.call(boundRequest("check", guard))), "") << testing::jsonText(guard);
    }
    EXPECT_TRUE(testing::captureCalls(h).empty());
}

TEST(Guard, PassesOnlyWhileTheHeaderShowsThePinnedPixels) {
    Harness h(testing::unhurriedChatScene());
    const Object guard = testing::pinnedGuard(h);
    const size_t before = screenshots(h);
    EXPECT_EQ(errorOf(h.call(boundRequest("check", guard))), "");
    EXPECT_EQ(screenshots(h), before + 1);

    Harness switched(otherConversation());
    EXPECT_EQ(errorOf(switched.call(boundRequest("check", guard))), headerChanged);

    // The hash is compared as the exact text issued.
    Object upper = guard;
    std::string hash = *upper["hash"].asString();
    for (char& c : hash) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    upper["hash"] = hash;
    EXPECT_EQ(errorOf(h.call(boundRequest("check", upper))), headerChanged);
    Object hashless = guard;
    hashless.erase("hash");
    EXPECT_EQ(errorOf(h.call(boundRequest("check", hashless))), headerChanged);
}

TEST(Guard, AnInvalidRegionIsRefusedAfterTheCapture) {
    Harness h(testing::unhurriedChatScene());
    Object guard = testing::pinnedGuard(h);
    guard["width"] = 1;
    const size_t before = screenshots(h);
    EXPECT_EQ(errorOf(h.call(boundRequest("check", guard))), msg::invalidGuardRegion);
    EXPECT_EQ(screenshots(h), before + 1);
}

TEST(Guard, ACoveredHeaderIsRefusedNamingWhatCoversIt) {
    const Object guard = [] {
        Harness h(testing::unhurriedChatScene());
        return testing::pinnedGuard(h);
    }();
    const Value banner = testing::listedWindow(70, 800, "Banner", Rect{700, 60, 360, 40}, 0);
    Harness covered(testing::unhurriedChatScene({banner}));
    EXPECT_EQ(errorOf(covered.call(boundRequest("check", guard))), obscured + "; occluder=Banner");

    // Beside the header it covers nothing that is guarded.
    const Value below = testing::listedWindow(70, 800, "Banner", Rect{700, 300, 360, 40}, 0);
    Harness beside(testing::unhurriedChatScene({below}));
    EXPECT_EQ(errorOf(beside.call(boundRequest("check", guard))), "");

    // Pixels are compared first.
    Object both = otherConversation();
    Array& list = *both["windows"].asArray();
    list.insert(list.begin(), banner);
    Harness changedAndCovered(both);
    EXPECT_EQ(errorOf(changedAndCovered.call(boundRequest("check", guard))), headerChanged);
}

TEST(Guard, AWindowMovedWhileItWasCapturedIsRefused) {
    // A region clear of the window's edges stays uncovered when the window
    // moves by a point, so the move is what the last verification finds.
    const Object guard = [] {
        Harness h(testing::unhurriedChatScene());
        return testing::pinnedGuard(h, Object{{"x", 10}, {"y", 10}, {"width", 200}, {"height", 40}});
    }();
    Object scene = testing::unhurriedChatScene();
    Value shifted = scene["windows"];
    testing::at(testing::at(testing::at(shifted, 0), "kCGWindowBounds"), "X") = 101;
    scene["reactions"] = Array{Object{{"on", Object{{"sck", true}}}, {"merge", Object{{"windows", shifted}}}}};
    Harness h(scene);
    EXPECT_EQ(errorOf(h.call(boundRequest("check", guard))), moved);
}

TEST(Guard, AnUnknownOperationCostsTheFullGuardBeforeItIsRefused) {
    Harness h(testing::unhurriedChatScene());
    const Object guard = testing::pinnedGuard(h);
    const size_t before = screenshots(h);
    EXPECT_EQ(errorOf(h.call(boundRequest("rename", guard))),
              msg::unsupportedOperation);
    EXPECT_EQ(screenshots(h), before + 1);

    Object stale = boundRequest("rename", guard);
    testing::at(stale["bound"], "title") = "Other";
    EXPECT_EQ(errorOf(h.call(stale)), msg::titleChanged);
    EXPECT_EQ(screenshots(h), before + 1);
}

}  // namespace
}  // namespace quillgate
