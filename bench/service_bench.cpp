// The request service's hot paths: a 24 MiB request line read from a pipe and
// parsed in place, and a "list" round trip over fifty windows.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "json/reader.h"
#include "platform/sim/desktop.h"
#include "service/line_reader.h"
#include "service/main.h"

namespace {

using namespace quillgate;

// A request whose payload is a 24 MiB Base64-like string, as a reference
// picture arrives.
std::string bigLine() {
    std::string line = R"({"op":"bind-region","region":{"x":0,"y":0,"width":100,"height":60},"reference":")";
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    while (line.size() < requestLimit - 2) line.push_back(alphabet[line.size() % 64]);
    line += "\"}";
    return line;
}

void BM_ReadAndParseLargeLine(benchmark::State& state) {
    const std::string line = bigLine() + "\n";
    json::Reader reader;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) state.SkipWithError("pipe");
#ifdef F_SETPIPE_SZ
        fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);
#endif
        std::thread writer([&] {
            size_t done = 0;
            while (done < line.size()) {
                ssize_t n = write(fds[1], line.data() + done, line.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            close(fds[1]);
        });
        LineReader lines(fds[0], requestLimit, json::Reader::paddingBytes());
        LineReader::Line l{};
        lines.next(l);
        auto value = reader.parse(l.data, l.size);
        benchmark::DoNotOptimize(value);
        writer.join();
        close(fds[0]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ReadAndParseLargeLine)->Unit(benchmark::kMillisecond);

void BM_ParseLargeLineInPlace(benchmark::State& state) {
    std::string line = bigLine();
    const size_t size = line.size();
    line.append(json::Reader::paddingBytes(), '\0');
    json::Reader reader;
    for (auto _ : state) {
        auto value = reader.parse(line.data(), size);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ParseLargeLineInPlace)->Unit(benchmark::kMillisecond);

std::string fiftyWindows() {
    std::string windows, apps;
    for (int i = 0; i < 50; ++i) {
        int pid = 500 + i % 5;
        if (!windows.empty()) windows += ",";
        windows += R"({"kCGWindowNumber":)" + std::to_string(100 + i) + R"(,"kCGWindowLayer":0,"kCGWindowOwnerPID":)" +
                   std::to_string(pid) + R"(,"kCGWindowOwnerName":"App","kCGWindowName":"Window )" +
                   std::to_string(i) + R"(","kCGWindowBounds":{"X":10,"Y":20,"Width":800.5,"Height":600},)" +
                   R"("kCGWindowIsOnscreen":true,"kCGWindowAlpha":1})";
    }
    for (int pid = 500; pid < 505; ++pid) {
        if (!apps.empty()) apps += ",";
        apps += R"({"pid":)" + std::to_string(pid) + R"(,"name":"App","launchDate":1765000000.5})";
    }
    return R"({"apps":[)" + apps + R"(],"windows":[)" + windows + "]}";
}

void BM_ListFiftyWindows(benchmark::State& state) {
    Main main(sim::Desktop::fromText(fiftyWindows()));
    std::string line = R"({"op":"list"})";
    const size_t size = line.size();
    line.append(json::Reader::paddingBytes(), '\0');
    for (auto _ : state) {
        std::string response = main.respond(line.data(), size, false);
        benchmark::DoNotOptimize(response);
    }
}
BENCHMARK(BM_ListFiftyWindows)->Unit(benchmark::kMicrosecond);

}  // namespace
