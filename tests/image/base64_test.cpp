#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "image/base64.h"

namespace quillgate::image {
namespace {

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(Base64, KnownVectors) {
    // RFC 4648's, and one that needs the last two characters of the alphabet.
    const std::pair<std::string_view, std::string_view> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xFB\xEF\xFF", "++//"}, {"\xFF\xFF", "//8="},
    };
    for (auto [plain, encoded] : vectors) {
        EXPECT_EQ(base64Encode(plain), encoded);
        EXPECT_EQ(base64Decode(encoded), bytes(plain)) << encoded;
    }
}

TEST(Base64, EveryByteAndEveryTailLengthRoundTrips) {
    std::vector<uint8_t> all;
    for (int i = 0; i < 3 * 256; ++i) all.push_back(static_cast<uint8_t>(i * (i / 256 + 1)));
    for (size_t n = 0; n <= all.size(); n += (n < 20 ? 1 : 61)) {
        std::vector<uint8_t> part(all.begin(), all.begin() + static_cast<ptrdiff_t>(n));
        const std::string text = base64Encode(part);
        EXPECT_EQ(text.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(base64Decode(text), part) << n;
    }
}

// The Base64 text as JSON string text writes it: each '/' as "\/".
std::string escaped(const std::string& plain) {
    std::string out;
    for (const char c : plain) {
        if (c == '/') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

TEST(Base64, JsonTextIsThePlainTextWithEverySolidusEscaped) {
    // Solidi at every place of a group, in the padded last group, across
    // the encoder's slices of 3072 bytes and everywhere at once (all ones).
    std::vector<uint8_t> mixed;
    for (int i = 0; i < 6200; ++i) mixed.push_back(static_cast<uint8_t>(i % 7 == 0 ? 0xFF : i * 37 + i / 256));
    for (const uint8_t fill : {uint8_t{0xFF}, uint8_t{0}}) {
        for (size_t n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 3070, 3071, 3072, 3073, 3074, 6143, 6144, 6145, 6146}) {
            for (const auto& source : {std::vector<uint8_t>(n, fill), std::vector<uint8_t>(mixed.begin(), mixed.begin() + static_cast<ptrdiff_t>(n))}) {
                std::string out = "kept";
                appendJsonBase64(source, out);
                EXPECT_EQ(out, "kept" + escaped(base64Encode(source))) << n << " bytes of " << int(fill);
            }
        }
    }
    std::string out;
    appendJsonBase64(std::string_view("\xFB\xEF\xFF\xFF\xFF"), out);
    EXPECT_EQ(out, R"(++\/\/\/\/8=)");
}

// Decodes text from inside a JSON string; absent unless it decoded.
std::optional<std::vector<uint8_t>> fromJson(std::string_view text, JsonBase64 expected = JsonBase64::decoded) {
    std::vector<uint8_t> out(5, 7);  // memory left by an earlier picture
    const JsonBase64 result = base64DecodeJson(text, out);
    EXPECT_EQ(result, expected) << text;
    if (result != JsonBase64::decoded) return std::nullopt;
    return out;
}

TEST(Base64, DecodesJsonTextWithSolidusEscapesAsThePlainText) {
    // Escaped solidi at every place of a group, in the padded last group,
    // side by side and everywhere (across the decoder's 4096-character
    // slices too), and the same text unescaped.
    std::vector<uint8_t> mixed;
    for (int i = 0; i < 6500; ++i) mixed.push_back(static_cast<uint8_t>(i % 5 == 0 ? 0xFF : i * 37 + i / 256));
    for (size_t n = 0; n <= mixed.size(); n += (n < 20 ? 1 : 97)) {
        for (const auto& source : {std::vector<uint8_t>(n, 0xFF), std::vector<uint8_t>(mixed.begin(), mixed.begin() + static_cast<ptrdiff_t>(n))}) {
            const std::string plain = base64Encode(source);
            EXPECT_EQ(fromJson(escaped(plain)), source) << n;
            EXPECT_EQ(fromJson(plain), source) << n;
        }
    }
    EXPECT_EQ(fromJson(R"(\/\/8=)"), bytes("\xFF\xFF"));
    EXPECT_EQ(fromJson(R"(++\/\/)"), bytes("\xFB\xEF\xFF"));
    EXPECT_EQ(fromJson(""), std::vector<uint8_t>{});
}

TEST(Base64, JsonTextRefusesWhatPlainTextRefusesAndLeavesOtherEscapes) {
    // An escaped solidus counts as one character: misplaced padding and
    // partial groups stay refused.
    for (std::string_view text : {"\\/", "Zm9\\/\\/", "Zm9v\\/=", "\\/===", "Zm9v Zm9v", "Zm9v\\/\\/\\/\\/====", "Zg==\\/\\/8="})
        fromJson(text, JsonBase64::invalid);
    // Any other escape, even of a character of the alphabet, is left to be read as JSON first.
    for (std::string_view text : {"\\u002fZm9", "Zm9v\\u002F\\/8=", "Zm\\u0039v", "Zm9v\\\\/", "Zm9v\\n", "Zm9v\\"})
        fromJson(text, JsonBase64::otherEscape);
}

TEST(Base64, LongJsonTextFindsEveryStrayEscapeAndBadCharacter) {
    // A long escaped text is read in blocks: a backslash not followed by a
    // solidus, or a character outside the alphabet, is found wherever it
    // stands, on either side of a block's edge, and at the very end.
    std::vector<uint8_t> source;
    for (int i = 0; i < 900; ++i) source.push_back(static_cast<uint8_t>(i % 7 == 0 ? 0xFF : i * 53));
    const std::string text = escaped(base64Encode(source));
    ASSERT_EQ(fromJson(text), source);
    for (size_t at = 0; at < text.size(); at += (at % 64 < 2 || at % 64 > 61) ? 1 : 13) {
        for (std::string_view stray : {"\\\\", "\\n", "\\u002f", "\\"}) {
            std::string bad = text;
            bad.insert(at, stray);
            fromJson(bad, JsonBase64::otherEscape);
        }
        if (text[at] == '\\' || (at > 0 && text[at - 1] == '\\')) continue;  // an escape's bytes
        std::string bad = text;
        bad[at] = '*';
        fromJson(bad, JsonBase64::invalid);
    }
    fromJson(text + "\\", JsonBase64::otherEscape);
    fromJson(text.substr(0, text.size() - 1) + "\\\\", JsonBase64::otherEscape);
}

TEST(Base64, StrictDecoding) {
    EXPECT_EQ(base64Decode(""), std::vector<uint8_t>{});
    // Whitespace and line breaks, lengths of partial groups, misplaced padding.
    for (std::string_view text : {"Zm9v\n", "Zm9v\r\nYmFy", "Zm 9v", " Zm9v", "Zm9v\tYmFy", "Z", "Zm9", "Zm9vY",
                                  "Zm9vYg=", "====", "Z===", "Zm=v", "=m9v", "Zg==Zm9v", "Zm8=Zm9v", "Zm9v====",
                                  "Zm9vY=E="})
        EXPECT_FALSE(base64Decode(text)) << text;
    // Every byte outside the alphabet at every place of a middle and a final
    // group ("=" only where padding cannot be).
    constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int c = 0; c < 256; ++c) {
        if (alphabet.find(static_cast<char>(c)) != std::string_view::npos) continue;
        for (size_t place = 0; place < (c == '=' ? 6 : 8); ++place) {
            std::string text = "QUJDREVG";
            text[place] = static_cast<char>(c);
            EXPECT_FALSE(base64Decode(text)) << "byte " << c << " at " << place;
        }
    }
}

}  // namespace
}  // namespace quillgate::image
