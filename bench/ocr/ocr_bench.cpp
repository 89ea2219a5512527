// Recognition time and accuracy of lumascan on a chat screenshot, side by
// side with the tesseract command-line tool on the same image.
//
// chat_screenshot.png (1200x800) holds the 14 lines of chat_screenshot.txt;
// the "lines_exact" counter says how many of them came out exactly. The
// chat pictures of the end-to-end tests are measured one by one as well.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include "grey_image.h"
#include "openmp_limit.h"
#include "output_json.h"
#include "recognizer.h"
#include "run_program.h"

namespace {

using lumascan::testing::Invocation;
using lumascan::testing::readFile;
using lumascan::testing::runProgram;

const std::string screenshotPath = std::string(LUMASCAN_BENCH_DATA) + "/chat_screenshot.png";

std::vector<std::string> expectedLines() {
    std::istringstream in(readFile(std::string(LUMASCAN_BENCH_DATA) + "/chat_screenshot.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Expected lines found verbatim among the recognised ones, each used once.
int countExact(std::vector<std::string> recognised) {
    int exact = 0;
    for (const auto& want : expectedLines()) {
        const auto hit = std::find(recognised.begin(), recognised.end(), want);
        if (hit != recognised.end()) {
            ++exact;
            recognised.erase(hit);
        }
    }
    return exact;
}

void report(benchmark::State& state, const std::vector<std::string>& recognised) {
    state.counters["lines_exact"] = countExact(recognised);
    state.counters["lines_total"] = static_cast<double>(expectedLines().size());
}

// CPU time used by finished child processes, in milliseconds; with other
// work on the machine it is steadier than the wall-clock time.
double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](timeval t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs `program` once per iteration and returns the last stdout.
std::string runEachIteration(benchmark::State& state, const std::string& program,
                             const Invocation& run) {
    const double cpuBefore = childrenCpuMs();
    std::string out;
    for (auto _ : state) out = runProgram(program, run).out;
    state.counters["child_cpu_ms"] =
        benchmark::Counter(childrenCpuMs() - cpuBefore, benchmark::Counter::kAvgIterations);
    return out;
}

std::vector<std::string> textsOf(const std::string& json) {
    std::vector<std::string> texts;
    for (const auto& line : lumascan::testing::parseOutput(json)) texts.push_back(line.text);
    return texts;
}

// Recognition alone, as a caller that keeps the engine sees it.
void BM_LumascanEngine(benchmark::State& state) {
    const auto image = readFile(screenshotPath);
    const auto bytes = std::as_bytes(std::span(image.data(), image.size()));
    const auto engine = lumascan::makeRecognizer({});
    engine->recognize(bytes);  // Init happens here, outside the timing
    std::vector<lumascan::TextLine> lines;
    for (auto _ : state) {
        lines = engine->recognize(bytes);
        benchmark::DoNotOptimize(lines.data());
    }
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.text);
    report(state, texts);
}
BENCHMARK(BM_LumascanEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// Init alone: a fresh engine per iteration, given a blank page, whose
// recognition is next to nothing but which still has to be decoded and
// laid out.
void BM_LumascanInit(benchmark::State& state) {
    const lumascan::PixPtr blank(pixCreate(64, 64, 8));
    pixSetAll(blank.get());
    l_uint8* data = nullptr;
    size_t size = 0;
    if (pixWriteMemPng(&data, &size, blank.get(), 0.0F) != 0) {
        state.SkipWithError("cannot encode the blank page");
        return;
    }
    const std::vector<std::byte> png(reinterpret_cast<std::byte*>(data),
                                     reinterpret_cast<std::byte*>(data) + size);
    lept_free(data);
    for (auto _ : state) {
        auto recognizer = lumascan::makeRecognizer({});
        const auto lines = recognizer->recognize(png);
        benchmark::DoNotOptimize(lines.data());
        // The program exits without freeing its models, so freeing is not timed.
        state.PauseTiming();
        recognizer.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LumascanInit)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// The program measured: this build's, or another build's named by
// LUMASCAN_BENCH_PROGRAM (to compare two versions on the same pictures).
std::string programUnderTest() {
    const char* other = std::getenv("LUMASCAN_BENCH_PROGRAM");
    return other != nullptr && *other != '\0' ? other : LUMASCAN_PROGRAM;
}

// One run of the program per image, start-up and Init included.
void BM_LumascanProgram(benchmark::State& state) {
    report(state, textsOf(runEachIteration(state, programUnderTest(), Invocation{.args = {screenshotPath}})));
}
BENCHMARK(BM_LumascanProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// The largest resident set of any finished child process, in megabytes.
double childrenPeakMb() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// One run of the program per chat picture of the end-to-end tests
// (tests/ocr/chats), registered in main(): lines read exactly out of the
// picture's lines, and the peak memory of the runs so far.
void BM_LumascanChatPicture(benchmark::State& state, const std::filesystem::path& png) {
    std::ifstream truth(std::filesystem::path(png).replace_extension(".txt"));
    std::vector<std::string> expected;
    for (std::string line; std::getline(truth, line);) expected.push_back(line);
    auto read = textsOf(runEachIteration(state, programUnderTest(), Invocation{.args = {png.string()}}));
    int exact = 0;
    for (const auto& want : expected) exact += std::ranges::count(read, want) > 0 ? 1 : 0;
    state.counters["lines_exact"] = exact;
    state.counters["lines_total"] = static_cast<double>(expected.size());
    state.counters["peak_mb_so_far"] = childrenPeakMb();
}

void registerChatPictures() {
    std::vector<std::filesystem::path> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(LUMASCAN_CHATS)) {
        if (entry.path().extension() == ".png") pictures.push_back(entry.path());
    }
    std::ranges::sort(pictures);
    for (const auto& png : pictures) {
        benchmark::RegisterBenchmark(("BM_LumascanChatPicture/" + png.stem().string()).c_str(),
                                     BM_LumascanChatPicture, png)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(2);
    }
}

std::optional<std::string> findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const auto candidate = std::filesystem::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return std::nullopt;
}

// The tesseract tool with only the languages given; range(0) = 1 limits
// OpenMP to one thread as lumascan does, 0 leaves the tool's default.
void BM_TesseractCli(benchmark::State& state) {
    const auto tool = findInPath("tesseract");
    if (!tool) {
        state.SkipWithError("tesseract command-line tool not installed");
        return;
    }
    Invocation run{.args = {screenshotPath, "stdout", "-l", "chi_sim+eng"}};
    run.env.emplace_back("OMP_THREAD_LIMIT", state.range(0) == 1 ? std::optional<std::string>("1")
                                                                 : std::nullopt);
    std::istringstream in(runEachIteration(state, *tool, run));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    report(state, lines);
}
BENCHMARK(BM_TesseractCli)
    ->ArgName("omp_thread_limit")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
    lumascan::limitOpenMpThreads();
    registerChatPictures();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
