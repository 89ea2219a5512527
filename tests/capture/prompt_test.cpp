// Recognising the system's screen-recording prompt among the on-screen
// windows, as the waiting message reports it.

#include <gtest/gtest.h>

#include "capture/prompt.h"
#include "core/failure.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::listedWindow;

constexpr Rect dialog{300, 200, 400, 200};

Value entry(const std::string& owner, double layer, Rect frame = dialog, double pid = 800) {
    return listedWindow(900, pid, owner, frame, layer);
}

std::string waitingMessage(const Value& windows) {
    Object scene = testing::chatScene();
    scene["self"] = Object{{"pid", 7001}, {"parentPid", 7000}};
    scene["windows"] = windows;
    testing::Harness h(scene);
    return screenWaitingMessage(h.desktop());
}

TEST(Prompt, DescribesTheFirstFourPromptWindowsInListOrder) {
    // An owner of 30 characters, two of them written with several code points.
    const std::string owner = "TCC" + std::string(19, 'a') + "e\xCC\x81" + "\xF0\x9F\x87\xA8\xF0\x9F\x87\xB3" + "zzzzzz";
    Value textBounds = entry("screencaptureui", 25);
    testing::at(testing::at(textBounds, "kCGWindowBounds"), "Width") = "400";
    const Value windows = Array{
        // Never prompts: this process and its host, ignored owners whatever
        // their layer and size, the wrong case, low layers, other sizes,
        // unusable bounds.
        entry("screencaptureui", 25, dialog, 7001), entry("screencaptureui", 25, dialog, 7000),
        entry("WeChat", 8), entry("Dock", 20), entry("tcc", 0), entry("", 7),
        entry("", 20, Rect{0, 0, 179.5, 200}), entry("", 20, Rect{0, 0, 400, 800.5}),
        entry("", 20, Rect{0, 0, 1200, 200}), textBounds,
        // Prompts: a prompt owner at any size and layer, or a high window of
        // a dialog's size (bounds inclusive); the fifth is not described.
        entry("screencaptureui", 0, Rect{0, 0, 5, 5}), entry("", 20, Rect{0, 0, 180, 90}), entry(owner, 3),
        entry("Dock ", 8.9, Rect{0, 0, 1000, 800}), entry("replayd", 0),
    };
    EXPECT_EQ(waitingMessage(windows), std::string(msg::screenWaiting) + "; prompt=yes; by=screencaptureui@0,@20," +
                                           owner.substr(0, owner.size() - 6) + "@3,Dock @8");
}

TEST(Prompt, AnUnreadableWindowListCountsAsAPrompt) {
    EXPECT_EQ(waitingMessage(Array{}), std::string(msg::screenWaiting) + "; prompt=no");
    EXPECT_EQ(waitingMessage(Value("not a list")), std::string(msg::screenWaiting) + "; prompt=yes; by=?");
}

TEST(Prompt, OnlyTheServicesOwnDeclineIsADecline) {
    EXPECT_TRUE(sckDeclined(PlatformError("SCStreamErrorDomain", -3801)));
    EXPECT_FALSE(sckDeclined(PlatformError("SCStreamErrorDomain", -3805)));
    EXPECT_FALSE(sckDeclined(PlatformError("NSCocoaErrorDomain", -3801)));
}

}  // namespace
}  // namespace quillgate
