// Whole requests of the capture path on a Retina-sized chat window, through
// the request service as the host sends them: "capture" (PNG, Base64 and the
// response line) beside its payload alone, "bind-region" with a full-size
// reference (reading the line, parsing, Base64 and PNG decoding, the hash and
// the comparison of the live header with it)
// and a guarded "check" of a 1440 x 60 header strip. The screenshot itself
// is left out: the simulated desktop hands over a picture prepared outside
// the timed region.
// Each runs untraced (/0, the default) and traced (/1, QUILLGATE_TRACE).

#include <benchmark/benchmark.h>

#include <deque>
#include <filesystem>
#include <iterator>
#include <limits>
#include <mutex>
#include <string>

#include "capture/encoding.h"
#include "chat_picture.h"
#include "fed_pipe.h"
#include "scratch_trace.h"
#include "image/base64.h"
#include "json/reader.h"
#include "json/writer.h"
#include "backends/sim/sim_platform.h"
#include "service/line_reader.h"
#include "service/request_service.h"

namespace quillgate::bench {
namespace {

constexpr int pictureWidth = 2880, pictureHeight = 1800;

// Screenshots answered at once with pictures queued beforehand, so that
// neither rendering nor copying the picture is timed.
class PreparedDesktop final : public sim::SimPlatform {
public:
    using sim::SimPlatform::SimPlatform;

    void prepare(const Image& picture) {
        std::lock_guard hold(lock_);
        ready_.push_back(picture);
    }

    Image screenshot(uint32_t, int, int) override {
        std::lock_guard hold(lock_);
        Image picture = std::move(ready_.front());
        ready_.pop_front();
        return picture;
    }

private:
    std::mutex lock_;
    std::deque<Image> ready_;
};

const Image& window() {
    static const Image picture = chatPicture(pictureWidth, pictureHeight);
    return picture;
}

std::shared_ptr<PreparedDesktop> desktop() {
    json::Reader reader;
    auto scene = reader.parse(R"({
      "timeScale": 0.1, "frontmost": 501,
      "apps": [{"pid": 501, "name": "Chat", "bundle": "com.example.chat", "launchDate": 1765000000.25,
        "ax": {"AXWindows": [{"id": "main", "AXRole": "AXWindow", "AXTitle": "Chat", "frame": [0, 0, 2880, 1800]}],
               "AXFocusedWindow": {"ref": "main"}}}],
      "windows": [{"kCGWindowNumber": 60, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 501, "kCGWindowOwnerName": "Chat",
        "kCGWindowName": "Chat", "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 2880, "Height": 1800},
        "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1}]
    })");
    return std::make_shared<PreparedDesktop>(*scene);
}

std::string request(const std::string& op, const Object& extra, const Value& guard = Value()) {
    Object bound{{"hwnd", "60"},     {"pid", 501},     {"process", "Chat"}, {"processStart", "1765000000.25"},
                 {"title", "Chat"},  {"width", pictureWidth}, {"height", pictureHeight}};
    if (!guard.isNull()) bound["guard"] = guard;
    Object r = extra;
    r["op"] = op;
    r["bound"] = std::move(bound);
    return *json::serialise(r);
}

// Request lines through a pipe and the service as in a session: one line
// reader for the whole run, so its buffer is paged in once, as the service's
// is, and each request's response line comes back. Argument 1: the service
// traced (QUILLGATE_TRACE); 0: untraced, as by default.
void run(benchmark::State& state, const std::string& line) {
    auto platform = desktop();
    RequestService service(platform);
    ScratchTrace trace(service, state.range(0) != 0);
    const std::string framed = line + "\n";  // the pipe's writer reads it throughout
    FedPipe pipe(framed, std::numeric_limits<int64_t>::max());
    LineReader lines(pipe.fd(), requestLimit);
    for (auto _ : state) {
        state.PauseTiming();
        platform->prepare(window());
        state.ResumeTiming();
        LineReader::Line l{};
        const std::string response = lines.next(l) ? service.respond(l.data, l.size) : std::string();
        if (response.rfind(R"({"error")", 0) == 0 || response.empty()) {
            state.SkipWithError(response.empty() ? "no request line" : response.c_str());
            break;
        }
        benchmark::DoNotOptimize(response);
    }
    state.counters["trace_bytes_per_request"] =
        benchmark::Counter(trace.bytes(), benchmark::Counter::kAvgIterations);
    pipe.stop();
    for (LineReader::Line l{}; lines.next(l);) {
    }
}

void BM_CaptureRequest(benchmark::State& state) { run(state, request("capture", {})); }
BENCHMARK(BM_CaptureRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The payload alone (PNG, then Base64), the floor of "capture": run beside it
// so that the two are compared within one run on a shared machine.
void BM_CapturePayload(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(image::base64Encode(png(window())));
}
BENCHMARK(BM_CapturePayload)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_BindRegionFullSizeReference(benchmark::State& state) {
    const Object region{{"x", 720}, {"y", 0}, {"width", 1440}, {"height", 60}};
    const std::string reference = image::base64Encode(png(window()));
    state.counters["reference_bytes"] = static_cast<double>(reference.size());
    run(state, request("bind-region", Object{{"region", region}, {"reference", reference}}));
}
BENCHMARK(BM_BindRegionFullSizeReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Threads of this process alive now: a capture must leave none behind.
double threadCount() {
    return static_cast<double>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                             std::filesystem::directory_iterator()));
}

void BM_GuardedCheck(benchmark::State& state) {
    Object guard{{"x", 720}, {"y", 0}, {"width", 1440}, {"height", 60}};
    guard["hash"] = hash(window(), guardRegion(guard));
    run(state, request("check", {}, guard));
    if (std::filesystem::exists("/proc/self/task")) state.counters["threads_after"] = threadCount();
}
BENCHMARK(BM_GuardedCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace quillgate::bench
