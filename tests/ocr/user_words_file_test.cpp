#include "user_words_file.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"

namespace lumascan {
namespace {

TEST(UserWordsFile, ListsOneWordPerLineAndIsRemovedAfterwards) {
    std::string path;
    {
        const std::vector<std::string> words{"Q3", "微信", "two words"};
        const UserWordsFile file(words);
        path = file.path();
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(testing::readFile(path), "Q3\n微信\ntwo words\n");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(UserWordsFile, LeavesOutWordsThatAreNotOneLine) {
    const std::vector<std::string> words{"", "a\nb", "c\rd", std::string("e\0f", 3), "kept"};
    const UserWordsFile file(words);
    EXPECT_EQ(testing::readFile(file.path()), "kept\n");
}

TEST(UserWordsFile, NoFileWithoutUsableWords) {
    EXPECT_TRUE(UserWordsFile({}).path().empty());
    const std::vector<std::string> unusable{"", "\n"};
    EXPECT_TRUE(UserWordsFile(unusable).path().empty());
}

}  // namespace
}  // namespace lumascan
