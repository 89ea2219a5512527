#include "word_spacing.h"

#include <string>

#include <gtest/gtest.h>

namespace lumascan {
namespace {

// A line drawn as text: '#' an ink column, '.' a blank one; one column per
// recogniser step, glyphs centred on the given steps.
InkColumns columns(const std::string& drawing, int textHeight) {
    InkColumns c{{}, 1.0, textHeight};
    for (const char ch : drawing) c.ink.push_back(ch == '#');
    return c;
}

std::vector<Glyph> glyphsAt(std::initializer_list<std::pair<const char*, int>> glyphs) {
    std::vector<Glyph> out;
    for (const auto& [text, step] : glyphs) out.push_back({text, 0.9F, step, step});
    return out;
}

std::string textOf(const std::vector<Glyph>& glyphs) {
    std::string text;
    for (const auto& g : glyphs) text += g.text;
    return text;
}

TEST(WordSpacing, ABlankAQuarterOfTheTextHighIsASpace) {
    //                       O   K       没   问
    const auto line = columns("###.###.....###.###", 16);  // 5 blank columns, 16 / 4 = 4 needed
    const auto spaced = withWordSpaces(glyphsAt({{"O", 1}, {"K", 5}, {"没", 13}, {"问", 17}}), line);
    EXPECT_EQ(textOf(spaced), "OK 没问");
    EXPECT_EQ(spaced[2].firstStep, 5) << "the space lies between its neighbours";
    EXPECT_EQ(spaced[2].lastStep, 13);
    EXPECT_EQ(textOf(withWordSpaces(glyphsAt({{"O", 1}, {"K", 5}, {"没", 13}, {"问", 17}}), columns("###.###.....###.###", 24))),
              "OK没问") << "too narrow for text 24 high";
}

TEST(WordSpacing, TheBlankGoesToTheGlyphsAroundItsMiddle) {
    // "Done.测": the recogniser places the period late, inside the blank,
    // but before the blank's middle.
    const auto line = columns("###.###.#........###", 16);
    EXPECT_EQ(textOf(withWordSpaces(glyphsAt({{"n", 1}, {"e", 5}, {".", 10}, {"测", 18}}), line)), "ne. 测");
}

TEST(WordSpacing, MarginsAroundTheLineAreNoSpaces) {
    const auto line = columns("........###.###........", 8);
    EXPECT_EQ(textOf(withWordSpaces(glyphsAt({{"h", 9}, {"i", 13}}), line)), "hi");
}

TEST(WordSpacing, NoSpaceNextToFullWidthMarksOrInsideNumbersOrBrackets) {
    const auto wide = columns("###........###", 8);
    const auto pair = [&](const char* a, const char* b) { return textOf(withWordSpaces(glyphsAt({{a, 1}, {b, 12}}), wide)); };
    EXPECT_EQ(pair("，", "明"), "，明");
    EXPECT_EQ(pair("m", "："), "m：");
    EXPECT_EQ(pair("1", "2"), "12");
    EXPECT_EQ(pair("m", ","), "m,");
    EXPECT_EQ(pair("(", "x"), "(x");
    EXPECT_EQ(pair("天", "1"), "天 1");
    EXPECT_EQ(pair("g", "#"), "g #");
    EXPECT_EQ(pair(".", "x"), ". x");
    // A separator between digits: "08:15", "3,456"; not after a word.
    const auto number = columns("###.###.###.......###", 8);
    EXPECT_EQ(textOf(withWordSpaces(glyphsAt({{"0", 1}, {"8", 5}, {":", 9}, {"1", 19}}), number)), "08:1");
    EXPECT_EQ(textOf(withWordSpaces(glyphsAt({{"O", 1}, {"K", 5}, {",", 9}, {"E", 19}}), number)), "OK, E");
}

TEST(WordSpacing, SpacesTheRecogniserReadStayAndAreNotDoubled) {
    const auto line = columns("###........###", 8);
    EXPECT_EQ(textOf(withWordSpaces(glyphsAt({{"a", 1}, {" ", 6}, {"b", 12}}), line)), "a b");
}

}  // namespace
}  // namespace lumascan
