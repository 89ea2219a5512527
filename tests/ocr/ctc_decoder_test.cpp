#include "ctc_decoder.h"

#include <gtest/gtest.h>

#include "run_program.h"

namespace lumascan {
namespace {

// Classes: 0 blank, 1 "a", 2 "b", 3 "你", 4 space.
const Charset charset({"a", "b", "你"});

// One step per entry: the winning class with probability p, the rest share
// what is left.
Tensor steps(std::initializer_list<std::pair<int, float>> winners) {
    Tensor t{{1, static_cast<std::int64_t>(winners.size()), 5}, {}};
    for (const auto& [winner, p] : winners) {
        for (int c = 0; c < 5; ++c) t.data.push_back(c == winner ? p : (1 - p) / 4);
    }
    return t;
}

std::string textOf(const std::vector<Glyph>& glyphs) {
    std::string text;
    for (const auto& g : glyphs) text += g.text;
    return text;
}

TEST(Charset, BlankFirstThenTheListThenTheSpace) {
    ASSERT_EQ(charset.classes(), 5U);
    EXPECT_EQ(charset.symbol(0), "");
    EXPECT_EQ(charset.symbol(1), "a");
    EXPECT_EQ(charset.symbol(3), "你");
    EXPECT_EQ(charset.symbol(4), " ");
}

TEST(Charset, LoadsOneCharacterALineAndNothingFromAMissingFile) {
    const testing::TempDir dir;
    const auto path = dir.write("keys.txt", "a\r\nb\n你");
    const auto loaded = Charset::load(path);
    ASSERT_EQ(loaded.classes(), 5U);
    EXPECT_EQ(loaded.symbol(1), "a");
    EXPECT_EQ(loaded.symbol(3), "你");
    EXPECT_EQ(Charset::load(dir.path() + "/missing.txt").classes(), 0U);
}

TEST(BestPath, RepeatsMergeBlanksSeparateAndStepsAreKept) {
    const auto glyphs = decodeBestPath(
        steps({{0, .9F}, {1, .8F}, {1, .9F}, {0, .9F}, {1, .7F}, {4, .9F}, {3, .6F}, {3, .9F}, {2, .9F}}),
        charset);
    EXPECT_EQ(textOf(glyphs), "aa 你b");
    ASSERT_EQ(glyphs.size(), 5U);
    EXPECT_EQ(glyphs[0].firstStep, 1);
    EXPECT_EQ(glyphs[0].lastStep, 2);
    EXPECT_FLOAT_EQ(glyphs[0].confidence, .8F) << "the first step's probability";
    EXPECT_EQ(glyphs[1].firstStep, 4);
    EXPECT_EQ(glyphs[3].firstStep, 6);
    EXPECT_EQ(glyphs[3].lastStep, 7);
    EXPECT_EQ(glyphs[4].firstStep, 8);
}

TEST(BestPath, TensorsOfAnotherShapeGiveNothing) {
    auto wrongClasses = steps({{1, .9F}});
    wrongClasses.shape = {1, 1, 4};
    wrongClasses.data.resize(4);
    EXPECT_TRUE(decodeBestPath(wrongClasses, charset).empty());
    auto batch = steps({{1, .9F}});
    batch.shape = {2, 1, 5};
    EXPECT_TRUE(decodeBestPath(batch, charset).empty());
    EXPECT_TRUE(decodeBestPath(steps({{1, .9F}}), Charset({})).empty());
}

}  // namespace
}  // namespace lumascan
