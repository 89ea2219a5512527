#include <gtest/gtest.h>

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
