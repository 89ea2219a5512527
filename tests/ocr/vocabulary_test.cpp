#include "vocabulary.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lumascan {
namespace {

using Words = std::vector<std::string>;

TEST(Vocabulary, ArrayOfStringsGivesItsMembersInOrder) {
    EXPECT_EQ(parseVocabulary(R"(["微信", "Q3", "A302"])"), (Words{"微信", "Q3", "A302"}));
    EXPECT_EQ(parseVocabulary(" [\"x\"]\n"), Words{"x"});
}

TEST(Vocabulary, EscapesAreDecoded) {
    EXPECT_EQ(parseVocabulary(R"(["\u4f60\u597d", "a\"b", "\ud83d\ude00"])"),
              (Words{"你好", "a\"b", "😀"}));
}

TEST(Vocabulary, KeepsTheFirstFiftyWords) {
    std::string json = "[";
    Words expected;
    for (int i = 0; i < 60; ++i) {
        json += (i ? ",\"w" : "\"w") + std::to_string(i) + "\"";
        if (i < 50) expected.push_back("w" + std::to_string(i));
    }
    json += "]";
    EXPECT_EQ(parseVocabulary(json.c_str()), expected);
}

TEST(Vocabulary, EveryMemberMustBeAString) {
    std::string json = "[";
    for (int i = 0; i < 55; ++i) json += "\"w\",";
    json += "7]";  // beyond the fifty taken, and still disqualifying
    EXPECT_TRUE(parseVocabulary(json.c_str()).empty());
    EXPECT_TRUE(parseVocabulary(R"(["a", null])").empty());
    EXPECT_TRUE(parseVocabulary(R"(["a", ["b"]])").empty());
    EXPECT_TRUE(parseVocabulary(R"(["a", {"b": "c"}])").empty());
}

TEST(Vocabulary, AnythingElseGivesNoWords) {
    for (const char* json : {"", "[]", "{}", R"({"words": ["a"]})", R"("a")", "a", "42", "null",
                             "true", R"(["a")", R"(["a",])", R"(["a"] ["b"])", R"(["a"] x)",
                             "[\"\xff\"]"}) {
        EXPECT_TRUE(parseVocabulary(json).empty()) << json;
    }
    EXPECT_TRUE(parseVocabulary(nullptr).empty());
}

}  // namespace
}  // namespace lumascan
