#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json/reader.h"
#include "json/writer.h"

namespace quillgate {
namespace {

std::string text(const Value& v) { return json::serialise(v).value_or("<unwritable>"); }

TEST(JsonWriter, FollowsTheProtocolRules) {
    Object o{{"ok", false}, {"error", "a/b \"q\" \\ 中文\n\t\x01"}, {"Z", 1}, {"list", Array{1.5, nullptr, true}}};
    EXPECT_EQ(text(o), R"({"Z":1,"error":"a\/b \"q\" \\ 中文\n\t\u0001","list":[1.5,null,true],"ok":false})");
}

TEST(JsonWriter, EscapesEveryByteThatNeedsItAndReadsBackTheSame) {
    // Escapes at both ends and side by side, the short forms, \u00XX for the
    // other control characters, DEL and non-ASCII as they are.
    EXPECT_EQ(text(std::string("\"\b\f\r\x1f/x\x7f\\")), R"("\"\b\f\r\u001f\/x)" "\x7f" R"(\\")");
    std::string every;
    for (int c = 1; c < 128; ++c) every.push_back(static_cast<char>(c));
    every += "中文";
    std::string written = "{\"s\":" + text(every) + "}";
    json::Reader reader;
    auto back = reader.parse(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back->find("s")->asString(), every);
}

TEST(JsonWriter, FindsEveryEscapeInLongRuns) {
    // Long strings are searched sixteen bytes at a time: an escape at every
    // place of a run, and two in one stretch, as in a Base64 picture.
    const std::pair<char, std::string> escapes[] = {
        {'/', "\\/"}, {'"', "\\\""}, {'\\', "\\\\"}, {'\n', "\\n"}, {'\x01', "\\u0001"}, {'\x1f', "\\u001f"}};
    for (const auto& [c, escaped] : escapes) {
        for (size_t at = 0; at < 40; ++at) {
            std::string s(40, 'A');
            s[at] = c;
            EXPECT_EQ(text(s), "\"" + std::string(at, 'A') + escaped + std::string(39 - at, 'A') + "\"") << at;
        }
    }
    EXPECT_EQ(text(std::string("iVBO/w0KGgo+AAAA/U0h")), R"("iVBO\/w0KGgo+AAAA\/U0h")");
}

TEST(JsonWriter, WritesIntegralNumbersWithoutFractionAndOthersShortest) {
    EXPECT_EQ(text(900.0), "900");
    EXPECT_EQ(text(-3.0), "-3");
    EXPECT_EQ(text(0.1), "0.1");
    EXPECT_EQ(text(1765000000.25), "1765000000.25");
    EXPECT_EQ(text(1e20), "100000000000000000000");
    EXPECT_EQ(json::decimal(1765000000.0, true), "1765000000.0");
    EXPECT_EQ(json::decimal(1765000000.123, true), "1765000000.123");
    EXPECT_EQ(json::decimal(1e-7, true), "0.0000001");
}

TEST(JsonWriter, RefusesWhatJsonCannotHold) {
    EXPECT_FALSE(json::serialise(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(json::serialise(Object{{"x", Array{std::numeric_limits<double>::infinity()}}}));
    EXPECT_FALSE(json::serialise(std::string("\xff\xfe")));
    EXPECT_FALSE(json::serialise(Point{1, 2}));
}

TEST(JsonReader, ReadsObjectsAndRefusesWhatIsNotJson) {
    json::Reader reader;
    auto v = reader.parse(R"({"a":[1,2.5,"x",{"b":null}],"c":true,"a2":-7})");
    ASSERT_TRUE(v);
    EXPECT_EQ(text(*v), R"({"a":[1,2.5,"x",{"b":null}],"a2":-7,"c":true})");
    EXPECT_FALSE(reader.parse(""));
    EXPECT_FALSE(reader.parse("{\"a\":}"));
    EXPECT_FALSE(reader.parse(std::string("\"a\0b\"", 5)));
    EXPECT_FALSE(reader.parse(std::string(5000, '[') + std::string(5000, ']')));
    EXPECT_TRUE(reader.parse("42"));  // a scalar is JSON; the request loop decides
}

}  // namespace
}  // namespace quillgate
