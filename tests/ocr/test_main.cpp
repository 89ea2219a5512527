#include <gtest/gtest.h>

#ifndef __APPLE__  // Tesseract's OpenMP; the Vision engine has none
#include "openmp_limit.h"
#endif

int main(int argc, char** argv) {
#ifndef __APPLE__
    lumascan::limitOpenMpThreads();
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
