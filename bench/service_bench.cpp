// The request service's hot paths: a 24 MiB request line read from a pipe and
// parsed in place, and a "list" round trip over fifty windows.
//
// Figures on the two-core development machine, quiet (medians, wall):
//   first 24 MiB line of a session, read and parsed   20 ms (80 ms while the
//                                                      line buffer still grew
//                                                      by doubling)
//   a further 24 MiB line, read and parsed            23-32 ms
//   the same line parsed in place                      2.4 ms, plain or with
//                                                      its solidi escaped
//                                                      (4.6 ms escaped while
//                                                      the check stopped at
//                                                      each escape)
//   "list" with fifty windows                          156 us
// Moving 24 MiB through a 1 MiB pipe alone takes about 13 ms here (a writer
// thread and a reader doing nothing else), so the pipe, not the parse, is
// most of the cost.

#include <benchmark/benchmark.h>
#include <limits>
#include <stdexcept>
#include <string>

#include "fed_pipe.h"
#include "scratch_trace.h"
#include "json/reader.h"
#include "backends/sim/sim_platform.h"
#include "service/line_reader.h"
#include "service/request_service.h"

namespace {

using namespace quillgate;

// A request whose payload is a 24 MiB Base64-like string, as a reference
// picture arrives: with each solidus escaped as "\/", as the host's JSON
// writer sends pictures, or plain.
std::string bigLine(bool escapedSolidus = false) {
    std::string line = R"({"op":"bind-region","region":{"x":0,"y":0,"width":100,"height":60},"reference":")";
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (size_t i = 0; line.size() < requestLimit - 3; ++i) {
        if (escapedSolidus && i % 64 == 63) line.push_back('\\');
        line.push_back(alphabet[i % 64]);
    }
    line += "\"}";
    return line;
}

// Reads one line and parses it in place; the reader stays for the session,
// as in the request loop.
void readAndParse(LineReader& lines, json::Reader& reader) {
    LineReader::Line line{};
    if (!lines.next(line)) throw std::runtime_error("no line");
    auto value = reader.parse(line.data, line.size);
    benchmark::DoNotOptimize(value);
}

void drain(LineReader& lines) {
    for (LineReader::Line line{}; lines.next(line);) {
    }
}

// Steady state: the line buffer has grown to the limit with the first line.
void BM_ReadAndParseLargeLine(benchmark::State& state) {
    const std::string line = bigLine() + "\n";
    json::Reader reader;
    FedPipe pipe(line, std::numeric_limits<int64_t>::max());
    LineReader lines(pipe.fd(), requestLimit);
    readAndParse(lines, reader);
    for (auto _ : state) readAndParse(lines, reader);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
    pipe.stop();
    drain(lines);
}
BENCHMARK(BM_ReadAndParseLargeLine)->Unit(benchmark::kMillisecond);

// The session's first large line: the buffer grows to the limit on the way.
void BM_ReadAndParseFirstLargeLine(benchmark::State& state) {
    const std::string line = bigLine() + "\n";
    json::Reader reader;
    for (auto _ : state) {
        FedPipe pipe(line, 1);
        LineReader lines(pipe.fd(), requestLimit);
        readAndParse(lines, reader);
        drain(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ReadAndParseFirstLargeLine)->Unit(benchmark::kMillisecond);

// Argument 1: the solidi escaped.
void BM_ParseLargeLineInPlace(benchmark::State& state) {
    std::string line = bigLine(state.range(0) != 0);
    const size_t size = line.size();
    json::Reader reader;
    for (auto _ : state) {
        auto value = reader.parse(line.data(), size);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ParseLargeLineInPlace)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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

// Argument 1: the service traced (QUILLGATE_TRACE); 0: untraced, as by default.
void BM_ListFiftyWindows(benchmark::State& state) {
    RequestService main(sim::SimPlatform::fromText(fiftyWindows()));
    ScratchTrace trace(main, state.range(0) != 0);
    std::string line = R"({"op":"list"})";
    const size_t size = line.size();
    for (auto _ : state) {
        std::string response = main.respond(line.data(), size);
        benchmark::DoNotOptimize(response);
    }
    state.counters["trace_bytes_per_request"] =
        benchmark::Counter(trace.bytes(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ListFiftyWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
