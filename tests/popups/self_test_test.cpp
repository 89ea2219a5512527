// The self-test answers on any machine, bound or not, and produces no input.

#include <gtest/gtest.h>

#include "service/main.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;

TEST(SelfTest, PassesOnItsFixturesAndPostsNothing) {
    Harness h(testing::chatScene());
    EXPECT_TRUE(Main::translateSelfTest(h.desktop()));
    EXPECT_TRUE(h.events().empty());
}

TEST(SelfTest, AnswersWithoutPermissionsSessionOrWindows) {
    Harness h(std::string_view(R"({"accessibility": false, "screenRecording": false, "session": null,
                                    "windows": null, "displays": null, "timeScale": 0.02})"));
    const std::string answer = R"({"inputExecuted":false,"kind":"synthetic-helper-contract","ok":true})";
    EXPECT_EQ(h.send(R"({"op":"self-test"})"), answer);
    EXPECT_EQ(h.send(R"({"operation":"self-test","bound":{"hwnd":"60"}})"), answer);
    EXPECT_TRUE(h.events().empty());  // not even a permission prompt
}

}  // namespace
}  // namespace quillgate
