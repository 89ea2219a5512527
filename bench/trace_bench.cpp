// What the request trace costs, in its parts. Untraced, a stage timer is a
// test of the thread's trace pointer; traced, it reads the desktop's clock
// twice. Whole requests with the trace off and on are in capture_bench
// (guarded "check", "capture", "bind-region") and service_bench ("list"),
// each as /0 (off) and /1 (on).
//
// Figures on the two-core development machine, shared and loaded (medians
// of 5 repetitions, CPU time):
//   stage timer, untraced (one thread-local load and a branch)   0.27 ns
//   stage timer, traced (two reads of the simulated clock)        56 ns
//   a trace line built and serialised                            2.0 us
// Whole requests, instructions per request counted by callgrind (exact
// from run to run, unlike times on a shared machine), before tracing
// existed / untraced / traced:
//   guarded "check", 2880 x 1800 window     9,746,440 /   9,746,600 to 9,746,780 /   9,780,870
//   "capture", same window                106,133,350 / 106,133,600               / 106,168,530
//   "list", fifty windows                   2,006,500 /   2,013,280               /   2,027,180
// The untraced "list" difference lies wholly in the value type's copy code
// (the compiler inlines it differently in the two builds), not in tracing.

#include <benchmark/benchmark.h>

#include <optional>

#include "core/trace.h"
#include "json/writer.h"
#include "backends/sim/sim_platform.h"

namespace {

using namespace quillgate;

std::shared_ptr<sim::SimPlatform> emptyDesktop() { return sim::SimPlatform::fromText(R"({"timeScale": 1})"); }

// Argument 1: a trace is active on this thread; 0: none, as untraced.
void BM_StageTimer(benchmark::State& state) {
    auto desktop = emptyDesktop();
    RequestTrace trace(*desktop);
    std::optional<ActiveTrace> active;
    if (state.range(0) != 0) active.emplace(trace);
    for (auto _ : state) {
        const TraceStage timer(Stage::hash);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StageTimer)->Arg(0)->Arg(1);

// A request's line built and serialised, as the trace file receives it.
void BM_TraceLine(benchmark::State& state) {
    auto desktop = emptyDesktop();
    RequestTrace trace(*desktop);
    trace.operation("check");
    for (Stage stage : {Stage::verification, Stage::windowList, Stage::axRead, Stage::hash}) trace.add(stage, 0.001);
    trace.add(Wait::screenshot, 0.01);
    trace.count(Screenshot::service);
    for (auto _ : state) {
        auto line = json::serialise(trace.line());
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_TraceLine);

}  // namespace
