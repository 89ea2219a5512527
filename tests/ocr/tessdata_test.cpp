#include "tessdata.h"

#include <array>
#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

#include "run_program.h"

namespace lumascan {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 2> languages{"chi_sim", "eng"};

class FindTessdata : public ::testing::Test {
protected:
    // complete/ has both languages, partial/ only one, empty/ none.
    void SetUp() override {
        for (const char* dir : {"complete", "partial", "empty"}) fs::create_directory(path(dir));
        root.write("complete/chi_sim.traineddata", "x");
        root.write("complete/eng.traineddata", "x");
        root.write("partial/eng.traineddata", "x");
    }
    fs::path path(const char* dir) const { return fs::path(root.path()) / dir; }

    testing::TempDir root;
};

TEST_F(FindTessdata, PreferredDirectoryWinsWhenComplete) {
    const std::array fallbacks{path("complete")};
    const auto preferred = path("complete").string() + "/";
    EXPECT_EQ(findTessdata(preferred.c_str(), fallbacks, languages), preferred);
}

TEST_F(FindTessdata, FallsBackInOrderPastIncompleteDirectories) {
    const std::array fallbacks{path("missing"), path("partial"), path("complete"), path("empty")};
    const auto partial = path("partial").string();
    EXPECT_EQ(findTessdata(partial.c_str(), fallbacks, languages), path("complete"));
    EXPECT_EQ(findTessdata(nullptr, fallbacks, languages), path("complete"));
    EXPECT_EQ(findTessdata("", fallbacks, languages), path("complete"));
}

TEST_F(FindTessdata, EmptyWhenNoDirectoryHasAllLanguages) {
    const std::array fallbacks{path("partial"), path("empty")};
    EXPECT_TRUE(findTessdata(nullptr, fallbacks, languages).empty());
}

}  // namespace
}  // namespace lumascan
