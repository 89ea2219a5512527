// Cutting text to a number of user-perceived characters.

#include <gtest/gtest.h>

#include "service/characters.h"

namespace quillgate {
namespace {

TEST(FirstCharacters, KeepsClustersWholeAndNeverSplitsASequence) {
    EXPECT_EQ(firstCharacters("abcdef", 3), "abc");
    EXPECT_EQ(firstCharacters("abc", 3), "abc");
    EXPECT_EQ(firstCharacters("abc", 10), "abc");
    EXPECT_EQ(firstCharacters("abc", 0), "");
    EXPECT_EQ(firstCharacters("", 5), "");
    EXPECT_EQ(firstCharacters("微信聊天", 2), "微信");
    // A letter with two combining accents is one character.
    EXPECT_EQ(firstCharacters("e\u0301\u0302xy", 2), "e\u0301\u0302x");
    // A family joined by zero-width joiners, a flag and a skin-toned hand.
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    const std::string flag = "\U0001F1E8\U0001F1F3";
    const std::string hand = "\U0001F44D\U0001F3FD";
    EXPECT_EQ(firstCharacters(family + flag + hand + "!", 1), family);
    EXPECT_EQ(firstCharacters(family + flag + hand + "!", 3), family + flag + hand);
    EXPECT_EQ(firstCharacters(flag + flag + flag, 2), flag + flag);
    // Carriage return and line feed together are one character.
    EXPECT_EQ(firstCharacters("a\r\nb", 2), "a\r\n");
    // Hangul syllables composed from jamo.
    EXPECT_EQ(firstCharacters("\u1100\u1161\u11A8\u1100\u1161", 1), "\u1100\u1161\u11A8");
}

TEST(FirstCharacters, CountsEachInvalidByteAsOneCharacter) {
    EXPECT_EQ(firstCharacters("a\xFF\xFE" "b", 2), "a\xFF");
    EXPECT_EQ(firstCharacters("\xE5\xBE" "x", 1), "\xE5");
    // A combining mark after an invalid byte is a character of its own.
    EXPECT_EQ(firstCharacters("\xFF\u0301z", 2), "\xFF\u0301");
}

}  // namespace
}  // namespace quillgate
