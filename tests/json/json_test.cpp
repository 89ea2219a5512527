#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "fuzz/json_oracle.h"
#include "image/base64.h"
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

TEST(JsonWriter, WritesBytesAsBase64ThatReadsBackAsTheString) {
    std::string data;
    for (int i = 0; i < 5000; ++i) data.push_back(static_cast<char>(i % 5 == 0 ? 0xFF : i * 7));
    const std::string written = text(Object{{"base64", Bytes{data}}, {"width", 3}});
    json::Reader reader;
    auto back = reader.parse(written);
    ASSERT_TRUE(back) << written.substr(0, 80);
    const std::string* base64 = back->find("base64")->asString();
    ASSERT_TRUE(base64);
    EXPECT_EQ(*base64, image::base64Encode(data));
    EXPECT_EQ(*back->find("width")->asNumber(), 3);
    EXPECT_EQ(text(Bytes{"\xFB\xEF\xFF\xFF"}), R"("++\/\/\/w==")");
    EXPECT_EQ(text(Bytes{}), R"("")");
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

// Both ways of reading against simdjson (fuzz/json_oracle.h).
void expectAsSimdjson(const std::string& text) { EXPECT_EQ(fuzz::compareJsonReaders(text), "") << text; }

// Large integral numbers are written in full, and every line the program
// writes must read back: such an integer is read as the nearest double.
TEST(JsonReader, ReadsBackTheLargeIntegersTheWriterPrints) {
    json::Reader reader;
    for (double n : {1e20, -1e24, 18446744073709551616.0, 1.7976931348623157e308}) {
        const std::string line = text(Array{n});
        auto back = reader.parse(line);
        ASSERT_TRUE(back) << line;
        EXPECT_EQ(*(*back->asArray())[0].asNumber(), n) << line;
    }
}

TEST(JsonReader, AcceptsAndReadsExactlyWhatSimdjsonDoes) {
    const std::vector<std::string> edges{
        "18446744073709551615", "18446744073709551616", "-9223372036854775808", "-9223372036854775809",
        "123456789012345678901234567890", "123456789012345678901234567890.5", "1e400", "-1e400", "1e-400",
        "5e-324", "1.7976931348623157e308", "1.7976931348623159e308", "-0", "-0.0", "0e0", "1E+2", "[1e0001]",
        "01", "1.", ".5", "-", "+1", "[-]", "[1.e1]", "1e", "1e+", "0x10", "[1,]", "{\"a\":1,}", "[]]", "[1 2]",
        "{\"a\" 1}", "{1:2}", " [ ] ", "\t{ }\n", "", "  ", "tru", "truex", "nul", "[true,false,null]",
        "{\"a\":1,\"a\":[2]}", "\"\\u0000\"", "\"\\ud800\\udc00\"", "\"\\ud800\"", "\"\\udc00\"",
        "\"\\ud800\\u0041\"", "\"\\ud800\\ud800\"", "\"\\uD83D\\uDE00\"", "\"\\u00e9\\u4E2d\"",
        "\"\\x\"", "\"\\u12\"", "\"\\u12g4\"", "\"a\\/b\\b\\f\\n\\r\\t\\\"\"", "\"\x01\"",
        "\"\x7f\"", "\"caf\xc3\xa9\"", "\"\xc3\"", "\"\xed\xa0\x80\"", "\x7f", "\"abc", "[\"abc\"",
        "{\"a\":{\"b\":[1,{\"c\":\"d\"}]}}", "\"0123456789abcdef\\\"0123456789abcdef\"",
        "\"0123456789abcdef0123\x1f\"", "\"0123456789abcdef01234567\x7f\x80\"",
        "\"0123456789abcdef0123456789abcdef\\n\\u4e2d\\ud83d\\ude00xyz\"",
    };
    for (const std::string& text : edges) expectAsSimdjson(text);
    for (int depth : {1022, 1023, 1024, 1025}) {
        expectAsSimdjson(std::string(depth, '[') + std::string(depth, ']'));
        expectAsSimdjson(std::string(depth, '[') + "1" + std::string(depth, ']'));
        std::string objects;
        for (int i = 0; i < depth; ++i) objects += "{\"a\":";
        expectAsSimdjson(objects + "{}" + std::string(depth, '}'));
        expectAsSimdjson(objects + "1" + std::string(depth, '}'));
    }

    // Single-byte changes of a request with every kind of value find the
    // corners a list misses.
    const std::string seed =
        R"({"op":"execute","bound":{"hwnd":"60","pid":501,"w":-12.5e-1,"guard":{"hash":"ab\u00e9\/"}},)"
        R"("keys":[0,1.5,true,false,null,[],{}],"t":"\ud83d\ude00 x"})";
    std::mt19937 random(7);
    const std::string bytes = "{}[]\":,.-+eE0123456789tfnu\\ \x01\xc3\xa9";
    for (int i = 0; i < 20000; ++i) {
        std::string mutant = seed;
        for (int changes = 1 + static_cast<int>(random() % 3); changes > 0; --changes) {
            const size_t at = random() % mutant.size();
            const char byte = bytes[random() % bytes.size()];
            switch (random() % 3) {
            case 0: mutant[at] = byte; break;
            case 1: mutant.insert(mutant.begin() + static_cast<long>(at), byte); break;
            default: mutant.erase(at, 1); break;
            }
        }
        expectAsSimdjson(mutant);
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(JsonReader, ReadsUnreadContainersWhenAskedAndListsWithoutBuildingThem) {
    const std::string text = R"({"a":[1,[2,3],{"b":"c"}],"s":["x","y",5],"o":{"p":{"q":[true]}}})";
    json::Reader reader;
    auto v = reader.parse(text.data(), text.size());
    ASSERT_TRUE(v && v->isObject());
    EXPECT_TRUE(v->find("a")->isArray());
    EXPECT_FALSE(v->find("a")->isObject());
    std::vector<std::string> seen;
    EXPECT_TRUE(v->find("s")->elements([&](const Value& item) {
        if (!item.isString()) return false;
        seen.push_back(*item.asString());
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<std::string>{"x", "y"}));
    EXPECT_FALSE(v->find("o")->elements([](const Value&) { return true; }));
    EXPECT_EQ(*v->find("o")->find("p")->find("q")->asArray()->at(0).asBool(), true);
    const Value copy = *v->find("a");
    EXPECT_EQ(json::serialise(copy), "[1,[2,3],{\"b\":\"c\"}]");
    EXPECT_EQ(json::serialise(*v), R"({"a":[1,[2,3],{"b":"c"}],"o":{"p":{"q":[true]}},"s":["x","y",5]})");
}

TEST(JsonReader, LeavesLongStringsOnTheTextAndReadsThemWhenAsked) {
    // Escapes at the start, the end and beside the length at which strings
    // are left unread; a short string, a long key's value in an array and a
    // fully built parse are read at once.
    const std::string longValue = "\"" + std::string(300, 'A') + "\\/\\u002f\\n" + std::string(40, 'B') + "\"";
    const std::string text = R"({"long":)" + longValue + R"(,"short":"a\/b","list":[)" + longValue + "]}";
    const std::string expected = std::string(300, 'A') + "//\n" + std::string(40, 'B');
    json::Reader reader;
    auto v = reader.parse(text.data(), text.size());
    ASSERT_TRUE(v);
    const Value& unread = *v->find("long");
    ASSERT_TRUE(unread.unreadString());
    EXPECT_EQ(*unread.unreadString(), longValue);
    EXPECT_TRUE(unread.isString());
    EXPECT_FALSE(v->find("short")->unreadString());
    EXPECT_EQ(*v->find("short")->asString(), "a/b");
    const Value copy = unread;
    EXPECT_EQ(*copy.asString(), expected);
    EXPECT_EQ(*unread.asString(), expected);
    EXPECT_FALSE(unread.unreadString());  // read once, kept
    EXPECT_TRUE(v->find("list")->elements([&](const Value& item) {
        EXPECT_TRUE(item.unreadString());
        EXPECT_EQ(*item.asString(), expected);
        return true;
    }));
    auto built = reader.parse(text);
    ASSERT_TRUE(built);
    EXPECT_FALSE(built->find("long")->unreadString());
    EXPECT_EQ(json::serialise(*v), json::serialise(*built));
}

TEST(JsonReader, FindsTheEndOfAnUnreadStringPastEveryEscape) {
    // An escaped quote and backslashes at every place of the sixteen-byte
    // stretches the end is searched in, the last one just before the quote.
    json::Reader reader;
    for (size_t pad = 0; pad < 34; ++pad) {
        const std::string inside = std::string(pad, 'A') + R"(\"\\\/)" + std::string(300, 'B') + R"(\\)";
        const std::string text = R"({"s":")" + inside + R"(","t":1})";
        auto v = reader.parse(text.data(), text.size());
        ASSERT_TRUE(v);
        ASSERT_TRUE(v->find("s")->unreadString()) << pad;
        EXPECT_EQ(*v->find("s")->unreadString(), "\"" + inside + "\"") << pad;
        EXPECT_EQ(*v->find("s")->asString(), std::string(pad, 'A') + "\"\\/" + std::string(300, 'B') + "\\");
        EXPECT_EQ(*v->find("t")->asNumber(), 1);
    }
}

TEST(JsonReader, ChecksAndEndsLongStringsWithEscapesAsSimdjsonDoes) {
    // Long strings are checked many bytes at a time, passing over escaped
    // solidi, and their end is found from the quotes alone: escapes, runs of
    // backslashes and control characters at every place of the stretches
    // searched must give simdjson's verdict and value.
    const std::vector<std::string> pieces{R"(\/)", R"(\\/)", R"(\\\/)", R"(\\)", R"(\")", R"(\\\")",
                                          R"(\u002f)", R"(\/\/)", R"(\x)", "\x01", R"(\)", R"(/)"};
    for (const std::string& piece : pieces) {
        for (size_t pad = 0; pad < 34; ++pad) {
            // Once near the start, where the checking pass meets it, and
            // once past the length at which the end is searched for.
            const std::string inside = std::string(pad, 'A') + piece + std::string(280, 'B') + piece +
                                       std::string(pad, 'C') + piece;
            expectAsSimdjson(R"({"s":")" + inside + R"(","t":")" + inside + R"("})");
            expectAsSimdjson(R"([")" + std::string(300, 'C') + R"(",")" + inside + R"("])");
        }
    }
    // Random text of the characters that matter, long enough to be left unread.
    std::mt19937 random(11);
    const std::string alphabet = "AB/\\\"u0f\x01";
    for (int i = 0; i < 3000; ++i) {
        auto some = [&](size_t n) {
            std::string text(n, 'A');
            for (char& c : text) c = alphabet[random() % alphabet.size()];
            return text;
        };
        const std::string inside = some(random() % 40) + std::string(260, 'A') + some(random() % 40);
        expectAsSimdjson(R"({"s":")" + inside + R"(","t":1})");
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace
}  // namespace quillgate
