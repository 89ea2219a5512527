// The self-test passes on a correct build and produces no input; the
// transcript self-test-bare-machine shows it answering with no permissions.

#include <gtest/gtest.h>

#include "input/self_test_operations.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;

TEST(SelfTest, PassesOnItsFixturesAndPostsNothing) {
    Harness h(testing::chatScene());
    EXPECT_TRUE(translateSelfTest(h.desktop()));
    EXPECT_TRUE(h.events().empty());
}

}  // namespace
}  // namespace quillgate
