#include "openmp_limit.h"

#include <dlfcn.h>

#include <cstddef>
#include <filesystem>
#include <iterator>
#include <span>
#include <string>

#include <gtest/gtest.h>

#include "recognizer.h"
#include "run_program.h"

namespace lumascan {
namespace {

TEST(OpenMpLimit, RecognitionStartsNoThreads) {
    if (!std::filesystem::exists("/proc/self/task")) GTEST_SKIP() << "needs Linux /proc";
    // This test program starts the way lumascan does (see test_main.cpp).
    // An OpenMP runtime keeps its workers after their first parallel region,
    // so once an image is recognised any thread but this one is a worker.
    const auto png = testing::readFile(std::string(LUMASCAN_FIXTURES) + "/english.png");
    makeRecognizer({})->recognize(std::as_bytes(std::span(png.data(), png.size())));
    // Without a runtime to limit, one thread would prove nothing.
    using MaxActiveLevels = int (*)();
    const auto levels = reinterpret_cast<MaxActiveLevels>(dlsym(RTLD_DEFAULT, "omp_get_max_active_levels"));
    ASSERT_NE(levels, nullptr) << "libtesseract no longer loads an OpenMP runtime?";
    EXPECT_EQ(levels(), 0);
    const std::filesystem::directory_iterator threads("/proc/self/task");
    EXPECT_EQ(std::distance(begin(threads), end(threads)), 1);
}

}  // namespace
}  // namespace lumascan
