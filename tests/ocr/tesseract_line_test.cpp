#include "tesseract_line.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lumascan {
namespace {

TEST(TesseractLine, TrimsTheLineBreakAndSurroundingBlanks) {
    const auto line = make_text_line("  Hello world \n", 90, 1, 2, 3, 4);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "Hello world");
    EXPECT_EQ(line->box[2], (Point{3, 4}));
}

TEST(TesseractLine, BlankLinesAreDropped) {
    EXPECT_FALSE(make_text_line("", 90, 0, 0, 1, 1));
    EXPECT_FALSE(make_text_line(" \t\r\n", 90, 0, 0, 1, 1));
}

TEST(TesseractLine, ConfidencePercentBecomesScoreBetweenZeroAndOne) {
    auto score = [](float percent) { return make_text_line("x", percent, 0, 0, 1, 1)->score; };
    EXPECT_FLOAT_EQ(score(92.5F), 0.925F);
    EXPECT_EQ(score(100), 1.0F);
    EXPECT_EQ(score(0), 0.0F);
    EXPECT_EQ(score(-1), 0.0F);
    EXPECT_EQ(score(250), 1.0F);
    EXPECT_EQ(score(std::nanf("")), 0.0F);
}

TEST(CloseCjkGaps, RemovesSpacesBetweenChineseCharactersOnly) {
    EXPECT_EQ(close_cjk_gaps("大家好 ，今天 下午"), "大家好，今天下午");
    EXPECT_EQ(close_cjk_gaps("收到  ，没问题 。"), "收到，没问题。");
    EXPECT_EQ(close_cjk_gaps("明天的 deadline 是几点"), "明天的 deadline 是几点");
    EXPECT_EQ(close_cjk_gaps("Thanks! 辛苦了"), "Thanks! 辛苦了");
    EXPECT_EQ(close_cjk_gaps("see you at 3pm"), "see you at 3pm");
    EXPECT_EQ(close_cjk_gaps("A302 会议室"), "A302 会议室");
    EXPECT_EQ(close_cjk_gaps("𠀀 𠀁"), "𠀀𠀁") << "ideographs outside the BMP";
}

TEST(FullWidthPunctuation, ChineseNeighboursMakeAsciiMarksFullWidth) {
    EXPECT_EQ(full_width_punctuation("是几点 ?"), "是几点 ？") << "a space before the mark is skipped";
    EXPECT_EQ(full_width_punctuation("好的 , 我会"), "好的 ， 我会");
    EXPECT_EQ(full_width_punctuation("真的吗?!"), "真的吗？！");
    EXPECT_EQ(full_width_punctuation("注意:明天;后天"), "注意：明天；后天");
    EXPECT_EQ(full_width_punctuation("OK,好的"), "OK，好的") << "Chinese right after the mark";
    EXPECT_EQ(full_width_punctuation("Thanks! 辛苦了"), "Thanks! 辛苦了") << "Chinese only beyond a space after it";
    EXPECT_EQ(full_width_punctuation("OK, see you at 3pm"), "OK, see you at 3pm");
    EXPECT_EQ(full_width_punctuation("昨天 18:30"), "昨天 18:30");
    EXPECT_EQ(full_width_punctuation("是. 好"), "是. 好") << "only the five marks";
    EXPECT_EQ(full_width_punctuation("\xe4\xbd?\x80!"), "\xe4\xbd?\x80!") << "malformed text is no Chinese";
}

TEST(TesseractLine, ChineseQuestionMarkComesOutFullWidthWithoutTheGap) {
    const auto line = make_text_line("明天的 deadline 是几点 ?\n", 90, 0, 0, 10, 10);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "明天的 deadline 是几点？");
}

TEST(CloseCjkGaps, KeepsMalformedTextUntouched) {
    EXPECT_EQ(close_cjk_gaps("\xe4\xbd \xe5"), "\xe4\xbd \xe5");
    EXPECT_EQ(close_cjk_gaps("\x80 \xbf"), "\x80 \xbf");
}

}  // namespace
}  // namespace lumascan
