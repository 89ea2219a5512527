#include "openmp_limit.h"

#include <cstddef>
#include <span>
#include <string>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "recognizer.h"
#include "run_program.h"

namespace lumascan {
namespace {

TEST(OpenMpLimit, RuntimeInsideTesseractRunsSingleThreaded) {
    // This test program starts the way lumascan does (see test_main.cpp);
    // the limit has to reach the runtime, not just the environment.
    const auto png = testing::readFile(std::string(LUMASCAN_FIXTURES) + "/english.png");
    makeRecognizer({})->recognize(std::as_bytes(std::span(png.data(), png.size())));
    using ThreadLimit = int (*)();
    const auto limit = reinterpret_cast<ThreadLimit>(dlsym(RTLD_DEFAULT, "omp_get_thread_limit"));
    ASSERT_NE(limit, nullptr) << "libtesseract no longer uses OpenMP?";
    EXPECT_EQ(limit(), 1);
}

}  // namespace
}  // namespace lumascan
