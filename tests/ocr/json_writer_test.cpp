#include "json_writer.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry.h"
#include "output_json.h"

namespace lumascan {
namespace {

TextLine line(std::string text, float score = 0.5F, Quad box = quadFromBox(1, 2, 3, 4)) {
    return TextLine{std::move(text), score, box};
}

std::string jsonOf(const TextLine& l) {
    const std::vector<TextLine> lines{l};
    return toJson(lines).value_or("<none>");
}

TEST(JsonWriter, CompactArrayOfObjectsInGivenOrder) {
    const std::vector<TextLine> lines{line("b", 0.25F, quadFromBox(10, 20, 30, 40)), line("a", 1.0F)};
    EXPECT_EQ(toJson(lines),
              R"([{"text":"b","score":0.25,"box":[[10,20],[30,20],[30,40],[10,40]]},)"
              R"({"text":"a","score":1,"box":[[1,2],[3,2],[3,4],[1,4]]}])");
    EXPECT_EQ(toJson({}), "[]");
}

// The "text" member as written, for checking escapes.
std::string writtenText(const std::string& text) {
    const auto json = jsonOf(line(text));
    const auto start = json.find(':') + 1;
    return json.substr(start, json.find(",\"score\"") - start);
}

TEST(JsonWriter, EscapesWhatJsonRequiresAndNothingElse) {
    using namespace std::string_literals;
    EXPECT_EQ(writtenText(R"(say "hi" \o/)"), R"("say \"hi\" \\o/")");
    EXPECT_EQ(writtenText("a\nb\tc\rd\be\ff\x01g\x1fh\0i"s),
              R"("a\nb\tc\rd\be\ff\u0001g\u001fh\u0000i")");
    // Non-ASCII stays raw UTF-8; DEL and '/' need no escape.
    EXPECT_EQ(writtenText("你好 ok 😀 \x7f/"), "\"你好 ok 😀 \x7f/\"");
}

TEST(JsonWriter, OutputParsesBackToTheSameValues) {
    const Quad box{Point{0.5, 1.25}, Point{100.75, 1.25}, Point{100.75, 20}, Point{0.5, 20}};
    const std::vector<TextLine> lines{line("引号\"与\\反斜杠\n", 0.9297215F, box)};
    const auto parsed = testing::parseOutput(*toJson(lines));
    ASSERT_EQ(parsed.size(), 1U);
    EXPECT_EQ(parsed[0].text, lines[0].text);
    // The score is printed as the shortest decimal of the float itself.
    EXPECT_EQ(static_cast<float>(parsed[0].score), 0.9297215F);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(parsed[0].box[i][0], box[i].x);
        EXPECT_EQ(parsed[0].box[i][1], box[i].y);
    }
}

TEST(JsonWriter, RefusesTextThatIsNotUtf8) {
    for (const std::string bad : {"\xff", "ab\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"}) {
        const std::vector<TextLine> lines{line("fine"), line(bad)};
        EXPECT_EQ(toJson(lines), std::nullopt) << ::testing::PrintToString(bad);
    }
}

TEST(JsonWriter, RefusesNumbersJsonCannotHold) {
    const auto nan = std::numeric_limits<float>::quiet_NaN();
    const auto inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(toJson(std::vector{line("x", nan)}), std::nullopt);
    auto box = quadFromBox(0, 0, 1, 1);
    box[2].x = inf;
    EXPECT_EQ(toJson(std::vector{line("x", 0.5F, box)}), std::nullopt);
    box[2].x = std::nan("");
    EXPECT_EQ(toJson(std::vector{line("x", 0.5F, box)}), std::nullopt);
}

}  // namespace
}  // namespace lumascan
