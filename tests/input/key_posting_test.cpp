// The fourteen allowed keys: their codes and flags, the refusal of every
// other name, the direct delivery of Return, and the held press.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "input/key_posting.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/refusal.h"

namespace quillgate {
namespace {

using testing::eventLines;
using testing::Harness;

std::string refusal(Harness& h, std::string_view name, std::optional<int32_t> pid) {
    return testing::refusalOf([&] { postKey(h.desktop(), name, pid); });
}

std::string keyEvent(int code, bool down, int flags, const Value& to) {
    return testing::jsonText(
        Object{{"what", "key"}, {"code", code}, {"down", down}, {"flags", flags}, {"to", to}});
}

TEST(PostKey, PressesEachAllowedNameAtTheTapWithItsCodeAndCommandOnlyForChords) {
    const struct {
        const char* name;
        int code;
        int flags;
    } cases[] = {
        {"enter", 36, 0},       {"tab", 48, 0},         {"escape", 53, 0},        {"backspace", 51, 0},
        {"delete", 117, 0},     {"left", 123, 0},       {"right", 124, 0},        {"up", 126, 0},
        {"down", 125, 0},       {"home", 115, 0},       {"end", 119, 0},          {"ctrl+a", 0, 0x100000},
        {"ctrl+v", 9, 0x100000}, {"cmd+enter", 36, 0x100000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h(testing::chatScene());
        postKey(h.desktop(), c.name, std::nullopt);
        EXPECT_EQ(eventLines(h), (std::vector<std::string>{keyEvent(c.code, true, c.flags, "hid"),
                                                           keyEvent(c.code, false, c.flags, "hid")}));
    }
}

TEST(PostKey, RefusesEveryOtherNameBeforePostingAnything) {
    Harness h(testing::chatScene());
    for (const char* name : {"Enter", " enter", "enter ", "ENTER", "ctrl+enter", "ctrl+q", "cmd+a", "ctrl+A",
                             "cmd+v", "a", "return", "", "ctrl+", "enter\n"}) {
        EXPECT_EQ(refusal(h, name, 501), msg::keyNotPermitted) << '"' << name << '"';
        EXPECT_EQ(refusal(h, name, std::nullopt), msg::keyNotPermitted) << '"' << name << '"';
    }
    EXPECT_TRUE(h.events().empty());
}

TEST(PostKey, DeliversReturnToTheProcessFirstThenPressesItAtTheTap) {
    Harness h(testing::chatScene());
    postKey(h.desktop(), "enter", 501);
    postKey(h.desktop(), "cmd+enter", 501);
    EXPECT_EQ(eventLines(h), (std::vector<std::string>{
                                 keyEvent(36, true, 0, 501),
                                 keyEvent(36, false, 0, 501),
                                 keyEvent(36, true, 0, "hid"),
                                 keyEvent(36, false, 0, "hid"),
                                 keyEvent(36, true, 0x100000, 501),
                                 keyEvent(36, false, 0x100000, 501),
                                 keyEvent(36, true, 0x100000, "hid"),
                                 keyEvent(36, false, 0x100000, "hid"),
                             }));
}

TEST(PostKey, IgnoresThePidForEveryOtherName) {
    Harness h(testing::chatScene());
    postKey(h.desktop(), "tab", 501);
    postKey(h.desktop(), "ctrl+v", 501);
    EXPECT_EQ(eventLines(h), (std::vector<std::string>{
                                 keyEvent(48, true, 0, "hid"),
                                 keyEvent(48, false, 0, "hid"),
                                 keyEvent(9, true, 0x100000, "hid"),
                                 keyEvent(9, false, 0x100000, "hid"),
                             }));
}

TEST(PostKey, HoldsTheKeyDownAtTheTapForFortyMilliseconds) {
    Harness h(testing::chatScene());  // simulated time: the pause is scaled, not skipped
    postKey(h.desktop(), "escape", std::nullopt);
    const auto events = h.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_GE(*events[1].find("t")->asNumber() - *events[0].find("t")->asNumber(), 0.04);
}

}  // namespace
}  // namespace quillgate
