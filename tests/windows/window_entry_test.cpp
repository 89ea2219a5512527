// Reading one window-list entry: what each key accepts and what it is when
// the entry gives nothing usable.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "windows/window_entry.h"

namespace quillgate {
namespace {

TEST(WindowEntry, EachKeyTakesOnlyItsTypeAndNumbersAreCutTowardZero) {
    const WindowEntry full = windowEntry(testing::parseJson(R"({
      "kCGWindowNumber": 60.9, "kCGWindowOwnerPID": -501.7, "kCGWindowLayer": 0.5, "kCGWindowOwnerName": "Chat",
      "kCGWindowName": "Title", "kCGWindowBounds": {"X": 1, "Y": 2, "Width": 3, "Height": 4},
      "kCGWindowAlpha": 0.5, "kCGWindowIsOnscreen": true})"));
    EXPECT_EQ(full.number, 60u);
    EXPECT_EQ(full.pid, -501);
    EXPECT_EQ(full.layer, 0.5);  // kept: a fractional layer is not layer 0
    EXPECT_EQ(full.wholeLayer(), 0);
    EXPECT_EQ(full.owner, "Chat");
    EXPECT_EQ(full.name, "Title");
    EXPECT_EQ(full.bounds, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(full.alpha, 0.5);
    EXPECT_TRUE(full.onScreen);

    // Booleans read as numbers where the core takes "a number"; nothing else does.
    const WindowEntry typed = windowEntry(testing::parseJson(R"({
      "kCGWindowNumber": "60", "kCGWindowOwnerPID": true, "kCGWindowLayer": false, "kCGWindowOwnerName": 7,
      "kCGWindowName": null, "kCGWindowBounds": {"X": 1, "Y": 2, "Width": 3, "Height": true},
      "kCGWindowAlpha": [1], "kCGWindowIsOnscreen": 1})"));
    EXPECT_EQ(typed.number, std::nullopt);
    EXPECT_EQ(typed.pid, 1);
    EXPECT_EQ(typed.layer, 0.0);
    EXPECT_EQ(typed.owner, "");
    EXPECT_EQ(typed.name, "");
    EXPECT_EQ(typed.bounds, std::nullopt);
    EXPECT_EQ(typed.alpha, std::nullopt);
    EXPECT_FALSE(typed.onScreen);

    const WindowEntry empty = windowEntry(testing::parseJson("{}"));
    EXPECT_FALSE(empty.number || empty.pid || empty.layer || empty.bounds || empty.alpha);
    EXPECT_EQ(empty.wholeLayer(), 0);

    // Beyond the 64-bit range or not finite: 0, as the window server's integers would be.
    EXPECT_EQ(windowEntry(testing::parseJson(R"({"kCGWindowLayer": 1e300})")).wholeLayer(), 0);
    EXPECT_EQ(windowEntry(testing::parseJson(R"({"kCGWindowLayer": -2.9})")).wholeLayer(), -2);
}

}  // namespace
}  // namespace quillgate
