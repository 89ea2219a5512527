#include "custom_words.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lumascan {
namespace {

std::vector<Glyph> glyphs(std::initializer_list<const char*> texts, float confidence = 0.5F) {
    std::vector<Glyph> out;
    for (const char* t : texts) out.push_back({t, confidence, 0, 0});
    return out;
}

std::vector<float> confidences(const std::vector<Glyph>& gs) {
    std::vector<float> out;
    for (const auto& g : gs) out.push_back(g.confidence);
    return out;
}

TEST(CustomWords, GlyphsSpellingAnExpectedWordBecomeCertain) {
    auto line = glyphs({"张", "伟", ":", "Q", "3", " ", "张", "伟"});
    const std::vector<std::string> words{"张伟", "Q3"};
    trustCustomWords(line, words);
    EXPECT_EQ(confidences(line), (std::vector<float>{1, 1, .5F, 1, 1, .5F, 1, 1}));
}

TEST(CustomWords, OnlyWholeGlyphsAndExactCaseMatch) {
    // "伟" is E4 BC 9F; "伟x" must not match a word ending in its last byte.
    auto line = glyphs({"伟", "q", "3"});
    const std::vector<std::string> words{"\x9Fq", "Q3", ""};
    trustCustomWords(line, words);
    EXPECT_EQ(confidences(line), (std::vector<float>{.5F, .5F, .5F}));
}

TEST(JoinGlyphs, OneSpaceBetweenWordsNoneOutsideAndTheMeanConfidence) {
    auto line = glyphs({" ", "O", "K", " ", " ", "好", "的", "!", " "});
    line[1].confidence = 1.0F;
    const auto joined = joinGlyphs(line);
    EXPECT_EQ(joined.text, "OK 好的！");
    EXPECT_FLOAT_EQ(joined.score, (1.0F + 8 * 0.5F) / 9);
    EXPECT_EQ(joinGlyphs(glyphs({" ", " "})).text, "");
    EXPECT_EQ(joinGlyphs({}).text, "");
}

}  // namespace
}  // namespace lumascan
