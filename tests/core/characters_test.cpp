// Cutting text to a number of user-perceived characters.

#include <gtest/gtest.h>

#include "core/characters.h"

namespace quillgate {
namespace {

TEST(FirstCharacters, KeepsClustersWholeAndCountsInvalidBytesSingly) {
    EXPECT_EQ(firstCharacters("abc", 2), "ab");
    EXPECT_EQ(firstCharacters("abc", 0), "");
    EXPECT_EQ(firstCharacters("微信聊天", 9), "微信聊天");
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    const std::string flag = "\U0001F1E8\U0001F1F3";
    const std::string hand = "\U0001F44D\U0001F3FD";
    EXPECT_EQ(firstCharacters(family + flag + flag + hand + "!", 4), family + flag + flag + hand);
    EXPECT_EQ(firstCharacters("e\u0301\u0302xy", 2), "e\u0301\u0302x");
    EXPECT_EQ(firstCharacters("a\r\nb", 2), "a\r\n");
    EXPECT_EQ(firstCharacters("\u1100\u1161\u11A8\u1100", 1), "\u1100\u1161\u11A8");
    EXPECT_EQ(firstCharacters("a\xFF\xFE" "b", 2), "a\xFF");
    EXPECT_EQ(firstCharacters("\xE5\xBE" "x", 1), "\xE5");
    EXPECT_EQ(firstCharacters("\xFF\u0301z", 2), "\xFF\u0301");
}

TEST(WithinCharacters, CountsClustersNotBytes) {
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    EXPECT_TRUE(withinCharacters(family + "ab", 3));
    EXPECT_FALSE(withinCharacters(family + "ab", 2));
    EXPECT_TRUE(withinCharacters("", 0));
    EXPECT_FALSE(withinCharacters("a", 0));
    EXPECT_TRUE(withinCharacters("e\u0301", 1));
}

}  // namespace
}  // namespace quillgate
