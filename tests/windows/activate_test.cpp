// "activate": the binding verified first, then activation, raising and a
// final verification. Unhiding a window and the refusal while the user types
// are run end to end in the activate transcripts.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::at;
using testing::eventLines;
using testing::Harness;

Object activate(Object bound = testing::chatBinding()) { return Object{{"op", "activate"}, {"bound", bound}}; }

std::string refusal(Harness& h, Object bound = testing::chatBinding()) {
    Object answer = h.call(activate(std::move(bound)));
    const std::string* error = answer["error"].asString();
    return error ? *error : "";
}

// The chat window's entry with one key changed, as a merge patch restates it.
Value chatWindowWith(const std::string& key, Value value) {
    Value entry = at(testing::chatScene()["windows"], 0);
    at(entry, key) = std::move(value);
    return entry;
}

TEST(Activate, PausesAfterActivatingAndAfterRaising) {
    Harness h(testing::chatScene());
    EXPECT_EQ(refusal(h), "");
    EXPECT_GE(h.desktop().monotonic(), 0.12 + 0.18);
}

TEST(Activate, ComparesTheBindingBeforeActingWithItsOwnMessages) {
    Harness h(testing::chatScene());
    struct Change {
        const char* key;
        Value value;  // null: the key is missing
        std::string_view message;
    };
    for (const Change& change : {Change{"pid", nullptr, msg::processChanged},
                                 Change{"processStart", "1765000000.3", msg::processChanged},
                                 Change{"title", "Chats", msg::identityOrSizeChanged},
                                 Change{"height", "600", msg::identityOrSizeChanged},
                                 Change{"hwnd", "61", msg::selectedUnavailable}}) {
        Object bound = testing::chatBinding();
        bound.erase(change.key);
        if (!change.value.isNull()) bound.emplace(change.key, change.value);
        EXPECT_EQ(refusal(h, bound), change.message) << change.key;
    }
    EXPECT_TRUE(h.events().empty());

    // Permission comes first, before the window is looked up.
    Object locked = testing::chatScene();
    locked["session"] = nullptr;
    Harness lockedDesktop(locked);
    EXPECT_EQ(refusal(lockedDesktop, Object{{"hwnd", "61"}}), msg::sessionUnavailable);

    // The window's width is truncated before the comparison.
    Object scene = testing::chatScene();
    at(at(at(scene["windows"], 0), "kCGWindowBounds"), "Width") = 800.5;
    Harness fractional(scene);
    Object bound = testing::chatBinding();
    bound["width"] = 800.5;
    EXPECT_EQ(refusal(fractional, bound), msg::identityOrSizeChanged);
    bound["width"] = 800;
    EXPECT_EQ(refusal(fractional, bound), "");
}

TEST(Activate, FailsWhenTheApplicationDoesNotActivateOrTheWindowDoesNotRaise) {
    Object scene = testing::chatScene();
    at(at(scene["apps"], 0), "activates") = false;
    Harness refused(scene);
    EXPECT_EQ(refusal(refused), msg::activateFailed);
    EXPECT_EQ(eventLines(refused), eventLines({R"({"ok":false,"pid":501,"what":"activate"})"}));

    scene = testing::chatScene();
    at(at(at(at(scene["apps"], 0), "ax"), "AXWindows"), 0).asObject()->emplace("actions", Object{{"AXRaise", false}});
    Harness stuck(scene);
    EXPECT_EQ(refusal(stuck), msg::activateFailed);
    EXPECT_EQ(eventLines(stuck), eventLines({R"({"ok":true,"pid":501,"what":"activate"})",
                                             R"({"action":"AXRaise","element":"main","ok":false,"what":"action"})"}));
}

TEST(Activate, ARaiseTheApplicationDidNotConfirmInTimeStillActivates) {
    Object scene = testing::chatScene();
    at(at(at(at(scene["apps"], 0), "ax"), "AXWindows"), 0).asObject()->emplace("actions", Object{{"AXRaise", -25204}});
    Harness h(scene);
    EXPECT_EQ(refusal(h), "");
    EXPECT_EQ(eventLines(h), eventLines({R"({"ok":true,"pid":501,"what":"activate"})",
                                         R"({"action":"AXRaise","element":"main","ok":false,"what":"action"})"}));
}

TEST(Activate, AsksTheApplicationToComeForwardWhenActivationLeftItBehind) {
    // The host stays frontmost although the activation was granted.
    Object scene = testing::chatScene();
    scene["frontmost"] = 900;
    scene["reactions"] = Array{Object{{"on", Object{{"activate", 501}}}, {"merge", Object{{"frontmost", 900}}}}};
    Harness h(scene);
    EXPECT_EQ(refusal(h), "");
    EXPECT_EQ(eventLines(h), eventLines({R"({"ok":true,"pid":501,"what":"activate"})",
                                         R"({"attribute":"AXFrontmost","element":null,"value":true,"what":"set"})",
                                         R"({"action":"AXRaise","element":"main","ok":true,"what":"action"})"}));
}

TEST(Activate, VerifiesTheWindowAgainAfterRaisingIt) {
    Object scene = testing::chatScene();
    const Value retitled = Array{chatWindowWith("kCGWindowName", "Other")};
    scene["reactions"] = Array{Object{{"on", Object{{"action", "AXRaise"}, {"element", "main"}}},
                                      {"merge", Object{{"windows", retitled}}}}};
    Harness h(scene);
    EXPECT_EQ(refusal(h), msg::titleChanged);
}

}  // namespace
}  // namespace quillgate
