// The engine in-process, as the benchmark and a long-lived caller use it:
// set up once, then many images.
#include <cstddef>
#include <span>
#include <string>

#include <gtest/gtest.h>

#include "recognizer.h"
#include "run_program.h"

namespace lumascan {
namespace {

std::string fixtureBytes(const char* name) {
    return testing::readFile(std::string(LUMASCAN_FIXTURES) + "/" + name);
}

std::span<const std::byte> bytes(const std::string& data) {
    return std::as_bytes(std::span(data.data(), data.size()));
}

std::string texts(const std::vector<TextLine>& lines) {
    std::string all;
    for (const auto& line : lines) all += line.text + "|";
    return all;
}

TEST(Engine, EachImageIsRecognisedOnItsOwn) {
    const auto engine = makeRecognizer({});
    const auto english = fixtureBytes("english.png");
    const auto mixed = fixtureBytes("mixed.png");
    EXPECT_TRUE(engine->recognize(bytes(fixtureBytes("not_an_image.png"))).empty());
    EXPECT_EQ(texts(engine->recognize(bytes(english))), "Please bring the Q3 report|");
    EXPECT_EQ(texts(engine->recognize(bytes(mixed))), "会议室在三楼|See you at 3pm|");
    EXPECT_TRUE(engine->recognize(bytes(fixtureBytes("blank.png"))).empty());
    EXPECT_EQ(texts(engine->recognize(bytes(english))), "Please bring the Q3 report|");
}

}  // namespace
}  // namespace lumascan
