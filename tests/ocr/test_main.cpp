#include <gtest/gtest.h>

#include "openmp_limit.h"

int main(int argc, char** argv) {
    lumascan::limitOpenMpThreads(argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
