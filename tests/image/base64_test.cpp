#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/base64.h"

namespace quillgate::image {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(Base64, Rfc4648Vectors) {
    const std::pair<std::string_view, std::string_view> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (auto [plain, encoded] : vectors) {
        EXPECT_EQ(base64Encode(plain), encoded);
        EXPECT_EQ(base64Decode(encoded), bytes(plain)) << encoded;
    }
}

TEST(Base64, EveryByteAndEveryTailLengthRoundTrips) {
    std::vector<uint8_t> all;
    for (int rep = 0; rep < 3; ++rep)
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b * (rep + 1) + rep));
    for (size_t n = 0; n <= all.size(); n += (n < 16 ? 1 : 61)) {
        std::span<const uint8_t> part(all.data(), n);
        std::string text = base64Encode(part);
        ASSERT_EQ(text.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(base64Decode(text), std::vector<uint8_t>(part.begin(), part.end())) << n;
    }
}

TEST(Base64, UsesTheStandardAlphabetAtEveryPlace) {
    // Three bytes per group map each 6-bit value to every one of the four places.
    std::vector<uint8_t> in;
    for (unsigned v = 0; v < 64; ++v) {
        const uint32_t group = v << 18 | v << 12 | v << 6 | v;
        in.insert(in.end(), {static_cast<uint8_t>(group >> 16), static_cast<uint8_t>(group >> 8),
                             static_cast<uint8_t>(group)});
    }
    std::string text = base64Encode(in);
    for (unsigned v = 0; v < 64; ++v) EXPECT_EQ(text.substr(4 * v, 4), std::string(4, kAlphabet[v]));
}

TEST(Base64, RefusesAnyCharacterOutsideTheAlphabetAnywhere) {
    // In a group of its own and in the final group, at each of the four places.
    for (int c = 0; c < 256; ++c) {
        if (kAlphabet.find(static_cast<char>(c)) != std::string_view::npos) continue;
        for (size_t place = 0; place < 8; ++place) {
            std::string text = "QUJDREVG";
            text[place] = static_cast<char>(c);
            if (c == '=' && place >= 6) continue;  // legitimate padding places, tested below
            EXPECT_FALSE(base64Decode(text)) << "char " << c << " at " << place;
        }
    }
}

TEST(Base64, RefusesWhitespaceAndLineBreaks) {
    for (std::string_view text : {"Zm9v\n", "Zm9v\r\nYmFy", "Zm 9v", " Zm9v", "Zm9vYmFy\n", "Zm9v\tYmFy"})
        EXPECT_FALSE(base64Decode(text)) << text;
}

TEST(Base64, RefusesLengthsThatAreNotWholeGroups) {
    for (std::string_view text : {"Z", "Zm", "Zm9", "Zm9vY", "Zm9vYg=", "Zg"}) EXPECT_FALSE(base64Decode(text)) << text;
}

TEST(Base64, PaddingOnlyEndsTheText) {
    EXPECT_EQ(base64Decode("Zm9vYg=="), bytes("foob"));
    EXPECT_EQ(base64Decode("Zm9vYmE="), bytes("fooba"));
    for (std::string_view text : {"====", "Z===", "Zm=v", "=m9v", "Zg==Zm9v", "Zm8=Zm9v", "Zm9v====", "Zm9vY=E="})
        EXPECT_FALSE(base64Decode(text)) << text;
}

TEST(Base64, EmptyTextIsEmptyBytes) {
    std::optional<std::vector<uint8_t>> out = base64Decode("");
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->empty());
}

}  // namespace
}  // namespace quillgate::image
