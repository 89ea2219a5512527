// Recognising the system's screen-recording prompt among the on-screen
// windows, and the waiting message built from it.

#include <gtest/gtest.h>

#include "capture/prompt.h"
#include "platform/platform.h"
#include "service/failure.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::at;
using testing::Harness;
using testing::listedWindow;

constexpr Rect dialog{300, 200, 400, 200};

PromptScan scan(const std::vector<Value>& inFront) {
    Object scene = testing::chatSceneWith(inFront);
    scene["self"] = Object{{"pid", 7001}, {"parentPid", 7000}};
    Harness h(scene);
    return promptOnScreen(h.desktop());
}

std::string waitingTail(const Value& windows) {
    Object scene = testing::chatScene();
    scene["windows"] = windows;
    Harness h(scene);
    const std::string message = screenWaitingMessage(h.desktop());
    const std::string text(msg::screenWaiting);
    EXPECT_EQ(message.substr(0, text.size()), text);
    return message.substr(text.size());
}

TEST(Prompt, PromptOwnersCountAtAnySizeAndLayerOthersOnlyHighAndDialogSized) {
    auto hit = [](const std::string& owner, Rect frame, double layer) {
        return scan({listedWindow(900, 800, owner, frame, layer)}).found;
    };
    EXPECT_TRUE(hit("screencaptureui", Rect{0, 0, 5, 5}, 0));
    EXPECT_TRUE(hit("tccd-helper", Rect{0, 0, 3000, 3000}, 0)) << "owners match by prefix";
    EXPECT_FALSE(hit("tcc", dialog, 0)) << "prefixes are case-sensitive";
    EXPECT_FALSE(hit("WeChat", dialog, 8)) << "the chat application is never a prompt";
    EXPECT_FALSE(hit("Dock", dialog, 20));
    EXPECT_FALSE(hit("Dock ", dialog, 0)) << "ignored owners match exactly, then the usual rules apply";
    EXPECT_TRUE(hit("Dock ", dialog, 20));

    EXPECT_TRUE(hit("", dialog, 8));
    EXPECT_FALSE(hit("", dialog, 7)) << "the layer must be above 7";
    EXPECT_TRUE(hit("", Rect{0, 0, 180, 90}, 20));
    EXPECT_TRUE(hit("", Rect{0, 0, 1000, 800}, 20));
    EXPECT_FALSE(hit("", Rect{0, 0, 179.5, 200}, 20));
    EXPECT_FALSE(hit("", Rect{0, 0, 400, 800.5}, 20));
    EXPECT_FALSE(hit("", Rect{0, 0, 1200, 200}, 20));
}

TEST(Prompt, DescribesTheFirstFourHitsInListOrderWithOwnersCutTo24Characters) {
    const PromptScan six = scan({
        listedWindow(901, 800, "screencaptureui", dialog, 25),
        listedWindow(902, 800, "", dialog, 20),
        listedWindow(903, 800, "TCC" + std::string(27, 'x'), dialog, 3),
        listedWindow(904, 800, "SecurityAgent", dialog, 1000),
        listedWindow(905, 800, "replayd", dialog, 0),
        listedWindow(906, 800, "tccd", dialog, 0),
    });
    EXPECT_TRUE(six.found);
    EXPECT_EQ(six.description, "screencaptureui@25,@20,TCC" + std::string(21, 'x') + "@3,SecurityAgent@1000");

    // Counted in user-perceived characters: an accented letter written as
    // two code points and a flag of two are one character each.
    const std::string accented = "e\xCC\x81";
    const std::string flag = "\xF0\x9F\x87\xA8\xF0\x9F\x87\xB3";
    const std::string owner = "TCC" + std::string(19, 'a') + accented + flag + "zzz";
    EXPECT_EQ(scan({listedWindow(901, 800, owner, dialog, 0)}).description,
              "TCC" + std::string(19, 'a') + accented + flag + "@0");
}

TEST(Prompt, SkipsOwnAndHostWindowsAndEntriesWithoutUsableBounds) {
    EXPECT_FALSE(scan({listedWindow(901, 7001, "screencaptureui", dialog, 25)}).found);
    EXPECT_FALSE(scan({listedWindow(901, 7000, "screencaptureui", dialog, 25)}).found);

    Value noBounds = listedWindow(902, 800, "screencaptureui", dialog, 25);
    at(noBounds, "kCGWindowBounds") = "300,200,400,200";
    Value textBounds = listedWindow(903, 800, "screencaptureui", dialog, 25);
    at(at(textBounds, "kCGWindowBounds"), "Width") = "400";
    EXPECT_FALSE(scan({noBounds, textBounds}).found);

    // A missing pid is never this process; a missing layer is 0; a fractional
    // layer is cut toward zero.
    Value bare = listedWindow(904, 800, "replayd", dialog, 0);
    bare.asObject()->erase("kCGWindowOwnerPID");
    bare.asObject()->erase("kCGWindowLayer");
    Value fractional = listedWindow(905, 800, "", dialog, 8.9);
    EXPECT_EQ(scan({bare, fractional}).description, "replayd@0,@8");
}

TEST(Prompt, WaitingMessageTellsWhetherAndWhereAPromptWasSeen) {
    Value none = Array{listedWindow(60, 501, "Chat", Rect{100, 50, 900, 600})};
    EXPECT_EQ(waitingTail(none), "; prompt=no");
    Value two = Array{listedWindow(901, 800, "screencaptureui", dialog, 25),
                      listedWindow(902, 800, "SecurityAgent", dialog, 1000)};
    EXPECT_EQ(waitingTail(two), "; prompt=yes; by=screencaptureui@25,SecurityAgent@1000");
    // An unreadable list is taken for a prompt: the waiting message is the
    // safer thing to tell the user.
    EXPECT_EQ(waitingTail(Value()), "; prompt=yes; by=?");
    EXPECT_EQ(waitingTail(Value("not a list")), "; prompt=yes; by=?");
}

TEST(Prompt, OnlyTheServicesDeclineErrorIsADecline) {
    EXPECT_TRUE(sckDeclined(PlatformError("SCStreamErrorDomain", -3801)));
    EXPECT_FALSE(sckDeclined(PlatformError("SCStreamErrorDomain", -3805)));
    EXPECT_FALSE(sckDeclined(PlatformError("NSCocoaErrorDomain", -3801)));
    EXPECT_FALSE(sckDeclined(std::runtime_error("SCStreamErrorDomain -3801")));
}

}  // namespace
}  // namespace quillgate
