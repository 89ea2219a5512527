// The request trace on a simulated desktop: how the capture race's two sides
// are accounted, input counted by kind against what was really posted, and a
// trace file that fails without touching the answers. The trace lines of
// whole transcripts are in tests/e2e/trace-*.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/values.h"
#include "service/trace_file.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;

// A traced service on a scene, with its trace file.
class Traced {
public:
    explicit Traced(const Object& scene) : harness(scene) {
        char name[] = "/tmp/quillgate-trace-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) throw std::runtime_error("no scratch trace file");
        close(fd);
        path_ = name;
        harness.main().traceTo(TraceFile::open(path_));
    }
    ~Traced() { unlink(path_.c_str()); }

    // Every trace line so far, parsed.
    std::vector<Object> lines() const {
        std::vector<Object> result;
        std::ifstream file(path_);
        for (std::string line; std::getline(file, line);) {
            const Value value = testing::parseJson(line);
            result.push_back(value.asObject() ? *value.asObject() : Object{});
        }
        return result;
    }
    Object last() const {
        auto all = lines();
        return all.empty() ? Object{} : all.back();
    }

    Harness harness;

private:
    std::string path_;
};

std::string request(const std::string& op, Object extra = {}) {
    extra["op"] = op;
    extra["bound"] = testing::chatBinding();
    return testing::jsonText(extra);
}

const Object* group(const Object& line, std::string_view key) { return objectAt(line, key); }

// A group's entry: its count (input, screenshots) or its "count" (stages, waits); 0 when absent.
double countOf(const Object& line, std::string_view key, std::string_view name) {
    const Object* g = group(line, key);
    const Value* entry = g ? member(*g, name) : nullptr;
    if (!entry) return 0;
    if (const Object* tally = entry->asObject()) return number(member(*tally, "count")).value_or(-1);
    return number(entry).value_or(-1);
}

double msOf(const Object& line, std::string_view key, std::string_view name) {
    const Object* g = group(line, key);
    const Object* tally = g ? objectAt(*g, name) : nullptr;
    return tally ? number(member(*tally, "ms")).value_or(-1) : -1;
}

Object hungService() {
    Object scene = testing::chatScene();
    scene["sck"] = Object{{"delay", 4}};  // answers, but only after its 3-second limit
    return scene;
}

TEST(Trace, AScreenshotPastItsLimitIsTheRequestsWaitAndItsLateWorkReachesNoTrace) {
    Traced t(hungService());
    t.harness.send(request("capture"));
    const Object first = t.last();
    EXPECT_EQ(text(member(first, "outcome")), "ok");
    EXPECT_EQ(countOf(first, "screenshots", "timedOut"), 1);
    EXPECT_EQ(countOf(first, "screenshots", "tool"), 1);
    EXPECT_EQ(countOf(first, "screenshots", "service"), 0);
    // The thread is still at work: its time is not known, so none is claimed.
    EXPECT_EQ(countOf(first, "stages", "screenshotService"), 0);
    // The request waited the whole limit, in the desktop's clock.
    EXPECT_EQ(countOf(first, "waits", "screenshot"), 1);
    EXPECT_GE(msOf(first, "waits", "screenshot"), 2999.999);
    EXPECT_GE(number(member(first, "ms")).value_or(0), msOf(first, "waits", "screenshot"));

    // The late screenshot returns after its request's trace is gone, and
    // shows up in no later one: the next capture skips the held-off service.
    ASSERT_TRUE(t.harness.settle(10));
    t.harness.send(request("capture"));
    const auto lines = t.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(countOf(lines[1], "screenshots", "skipped"), 1);
    EXPECT_EQ(countOf(lines[1], "stages", "screenshotService"), 0);
    EXPECT_EQ(countOf(lines[1], "waits", "screenshot"), 0);
}

TEST(Trace, AScreenshotInTimeIsTheThreadsWorkWithinTheRequestsWait) {
    Object scene = testing::chatScene();
    scene["sck"] = Object{{"delay", 0.5}};
    Traced t(scene);
    t.harness.send(request("capture"));
    const Object line = t.last();
    EXPECT_EQ(countOf(line, "screenshots", "service"), 1);
    EXPECT_EQ(countOf(line, "stages", "screenshotService"), 1);
    // On the virtual clock the request waits exactly as long as the thread works.
    EXPECT_EQ(msOf(line, "stages", "screenshotService"), 500);
    EXPECT_EQ(msOf(line, "waits", "screenshot"), 500);
}

// What the event log says was posted, by the trace's kinds.
std::map<std::string, double> postedKinds(const std::vector<Value>& events, size_t from) {
    std::map<std::string, double> kinds;
    for (size_t i = from; i < events.size(); ++i) {
        const std::string what = text(events[i].find("what"));
        if (what == "key") ++kinds["key"];
        if (what == "mouse") ++kinds[number(events[i].find("type")) == 5 ? "mouseMove" : "mouseButton"];
        if (what == "scroll") ++kinds["scroll"];
        if (what == "action") ++kinds["axAction"];
        if (what == "set") ++kinds["axSet"];
        if (what == "activate" || what == "unhide") ++kinds["activation"];
    }
    return kinds;
}

std::map<std::string, double> tracedKinds(const Object& line) {
    std::map<std::string, double> kinds;
    if (const Object* input = group(line, "input")) {
        for (const auto& [kind, count] : *input) kinds[kind] = number(&count).value_or(-1);
    }
    return kinds;
}

TEST(Trace, CountsWhatWasPostedByKind) {
    Object scene = testing::chatScene();
    scene["input"] = Object{{"held", Array{14, 12}}};  // keys to release
    Traced t(scene);
    std::vector<std::string> requests{
        request("activate"),
        request("execute", {{"action", Object{{"kind", "click"}, {"x", 0.5}, {"y", 0.5}, {"button", "right"}, {"count", 2}}}}),
        request("execute", {{"action", Object{{"kind", "move"}, {"x", 0.2}, {"y", 0.8}}}}),
        request("execute", {{"action", Object{{"kind", "scroll"}, {"x", 0.5}, {"y", 0.5}, {"direction", "up"}, {"amount", 3}}}}),
        request("execute", {{"action", Object{{"kind", "key"}, {"key", "ctrl+a"}}}}),
        testing::jsonText(Object{{"op", "release-keys"}, {"keys", Array{14, 12}}}),
    };
    for (const std::string& line : requests) {
        const size_t before = t.harness.events().size();
        const std::string response = t.harness.send(line);
        EXPECT_EQ(tracedKinds(t.last()), postedKinds(t.harness.events(), before)) << line << " -> " << response;
    }
    // Each request did post something of its own kind.
    for (const Object& line : t.lines()) EXPECT_FALSE(tracedKinds(line).empty()) << testing::jsonText(line);
}

TEST(Trace, AFileThatCannotBeWrittenIsSaidOnceAndTheAnswersStayTheSame) {
    const std::string line = request("check");
    Harness plain(testing::chatScene());
    Harness traced(testing::chatScene());
    // Every write fails: the file is a pipe nobody reads (EPIPE), named
    // through /dev/fd as Linux and macOS both allow; SIGPIPE is ignored
    // meanwhile, as the program ignores it.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const std::string name = "/dev/fd/" + std::to_string(ends[1]);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    auto full = TraceFile::open(name);
    close(ends[1]);
    ASSERT_TRUE(full);
    traced.main().traceTo(std::move(full));
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(traced.send(line), plain.send(line));
    const std::string said = ::testing::internal::GetCapturedStderr();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(name), std::string::npos) << said;
}

TEST(Trace, AppendsAfterWhatTheFileHolds) {
    // A restarted helper keeps the lines of the one before.
    char name[] = "/tmp/quillgate-trace-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "earlier\n", 8), 8);
    close(fd);
    Harness h(testing::chatScene());
    h.main().traceTo(TraceFile::open(name));
    h.send(R"({"op":"list"})");
    h.send(R"({"op":"permissions"})");
    std::ifstream file(name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    unlink(name);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "earlier");
    EXPECT_NE(lines[1].find(R"("op":"list")"), std::string::npos);
    EXPECT_NE(lines[2].find(R"("op":"permissions")"), std::string::npos);
}

}  // namespace
}  // namespace quillgate
