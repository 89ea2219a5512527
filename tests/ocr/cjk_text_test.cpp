#include "cjk_text.h"

#include <gtest/gtest.h>

namespace lumascan {
namespace {

TEST(HalfWidthPunctuation, FullWidthMarksBetweenLatinTextBecomeAscii) {
    EXPECT_EQ(halfWidthPunctuation("OK，ETA 10 min"), "OK,ETA 10 min");
    EXPECT_EQ(halfWidthPunctuation("共3，456行"), "共3,456行") << "digits on both sides";
    EXPECT_EQ(halfWidthPunctuation("Build #512 failed： test"), "Build #512 failed: test");
    EXPECT_EQ(halfWidthPunctuation("Really？"), "Really?") << "nothing after";
    EXPECT_EQ(halfWidthPunctuation("！"), "!");
}

TEST(HalfWidthPunctuation, ChineseOnEitherSideKeepsThemFullWidth) {
    EXPECT_EQ(halfWidthPunctuation("Hi Tom，明天见"), "Hi Tom，明天见");
    EXPECT_EQ(halfWidthPunctuation("收到， OK"), "收到， OK");
    EXPECT_EQ(halfWidthPunctuation("好的！"), "好的！");
    EXPECT_EQ(halfWidthPunctuation("（内部）"), "（内部）") << "other marks are not touched";
    EXPECT_EQ(halfWidthPunctuation("a（b）"), "a（b）");
}

TEST(CjkText, FullWidthMarksAreNotLettersOrIdeographs) {
    EXPECT_TRUE(isFullWidthMark(U'，'));
    EXPECT_TRUE(isFullWidthMark(U'《'));
    EXPECT_TRUE(isFullWidthMark(U'￥'));
    EXPECT_FALSE(isFullWidthMark(U'Ａ'));
    EXPECT_FALSE(isFullWidthMark(U'３'));
    EXPECT_FALSE(isFullWidthMark(U'你'));
    EXPECT_FALSE(isFullWidthMark(U','));
}

}  // namespace
}  // namespace lumascan
