// The reader against libspng (tests/fuzz/png_oracle.h) on the fixtures and
// on every single-byte damage and every cut of a few of them, so the
// differential check also runs in the ordinary test suite.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/png_oracle.h"

namespace quillgate::fuzz {
namespace {

constexpr image::DecodeLimits oracleLimits{.maxWidth = 1024, .maxHeight = 1024, .maxPixels = 1 << 18};

std::vector<uint8_t> read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PngOracle, ReadersAgreeOnEveryFixture) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(QUILLGATE_TEST_DATA) + "/image/fixtures")) {
        if (entry.path().extension() != ".png") continue;
        ++count;
        EXPECT_EQ(comparePngReaders(read(entry.path()), oracleLimits), "") << entry.path().filename();
    }
    EXPECT_GE(count, 10);
}

TEST(PngOracle, ReadersAgreeOnDamagedAndCutFiles) {
    for (const char* name : {"rgba8_filters.png", "palette2_trns.png", "rgb8_filters_adam7.png", "grey16_key.png"}) {
        const std::vector<uint8_t> png = read(std::string(QUILLGATE_TEST_DATA) + "/image/fixtures/" + name);
        for (size_t i = 0; i < png.size(); ++i) {
            for (uint8_t flip : {0x01, 0x80}) {
                std::vector<uint8_t> damaged = png;
                damaged[i] ^= flip;
                EXPECT_EQ(comparePngReaders(damaged, oracleLimits), "") << name << " byte " << i;
            }
            EXPECT_EQ(comparePngReaders(std::span(png.data(), i), oracleLimits), "") << name << " cut at " << i;
        }
    }
}

}  // namespace
}  // namespace quillgate::fuzz
