#include "tesseract_line.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lumascan {
namespace {

TEST(TesseractLine, TrimsTheLineBreakAndSurroundingBlanks) {
    const auto line = makeTextLine("  Hello world \n", 90, 1, 2, 3, 4);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "Hello world");
    EXPECT_EQ(line->box[2], (Point{3, 4}));
}

TEST(TesseractLine, BlankLinesAreDropped) {
    EXPECT_FALSE(makeTextLine("", 90, 0, 0, 1, 1));
    EXPECT_FALSE(makeTextLine(" \t\r\n", 90, 0, 0, 1, 1));
}

TEST(TesseractLine, ConfidencePercentBecomesScoreBetweenZeroAndOne) {
    auto score = [](float percent) { return makeTextLine("x", percent, 0, 0, 1, 1)->score; };
    EXPECT_FLOAT_EQ(score(92.5F), 0.925F);
    EXPECT_EQ(score(100), 1.0F);
    EXPECT_EQ(score(0), 0.0F);
    EXPECT_EQ(score(-1), 0.0F);
    EXPECT_EQ(score(250), 1.0F);
    EXPECT_EQ(score(std::nanf("")), 0.0F);
}

TEST(CloseCjkGaps, RemovesSpacesBetweenChineseCharactersOnly) {
    EXPECT_EQ(closeCjkGaps("大家好 ，今天 下午"), "大家好，今天下午");
    EXPECT_EQ(closeCjkGaps("收到  ，没问题 。"), "收到，没问题。");
    EXPECT_EQ(closeCjkGaps("明天的 deadline 是几点"), "明天的 deadline 是几点");
    EXPECT_EQ(closeCjkGaps("Thanks! 辛苦了"), "Thanks! 辛苦了");
    EXPECT_EQ(closeCjkGaps("see you at 3pm"), "see you at 3pm");
    EXPECT_EQ(closeCjkGaps("A302 会议室"), "A302 会议室");
    EXPECT_EQ(closeCjkGaps("𠀀 𠀁"), "𠀀𠀁") << "ideographs outside the BMP";
}

TEST(FullWidthPunctuation, ChineseNeighboursMakeAsciiMarksFullWidth) {
    EXPECT_EQ(fullWidthPunctuation("是几点 ?"), "是几点 ？") << "a space before the mark is skipped";
    EXPECT_EQ(fullWidthPunctuation("好的 , 我会"), "好的 ， 我会");
    EXPECT_EQ(fullWidthPunctuation("真的吗?!"), "真的吗？！");
    EXPECT_EQ(fullWidthPunctuation("注意:明天;后天"), "注意：明天；后天");
    EXPECT_EQ(fullWidthPunctuation("OK,好的"), "OK，好的") << "Chinese right after the mark";
    EXPECT_EQ(fullWidthPunctuation("Thanks! 辛苦了"), "Thanks! 辛苦了") << "Chinese only beyond a space after it";
    EXPECT_EQ(fullWidthPunctuation("OK, see you at 3pm"), "OK, see you at 3pm");
    EXPECT_EQ(fullWidthPunctuation("昨天 18:30"), "昨天 18:30");
    EXPECT_EQ(fullWidthPunctuation("是. 好"), "是. 好") << "only the five marks";
    EXPECT_EQ(fullWidthPunctuation("\xe4\xbd?\x80!"), "\xe4\xbd?\x80!") << "malformed text is no Chinese";
}

TEST(TesseractLine, ChineseQuestionMarkComesOutFullWidthWithoutTheGap) {
    const auto line = makeTextLine("明天的 deadline 是几点 ?\n", 90, 0, 0, 10, 10);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "明天的 deadline 是几点？");
}

TEST(CloseCjkGaps, KeepsMalformedTextUntouched) {
    EXPECT_EQ(closeCjkGaps("\xe4\xbd \xe5"), "\xe4\xbd \xe5");
    EXPECT_EQ(closeCjkGaps("\x80 \xbf"), "\x80 \xbf");
}

}  // namespace
}  // namespace lumascan
