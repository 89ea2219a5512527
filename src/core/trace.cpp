#include "core/trace.h"

#include <array>
#include <cmath>
#include <optional>

namespace quillgate {

namespace detail {
constinit thread_local RequestTrace* activeTrace = nullptr;
}

namespace {

// The trace line's names, in the order of each enumeration.
constexpr std::array<std::string_view, traceNameCount<Stage>> stageNames{
    "verification", "windowList", "axRead", "screenshotService", "screenshotTool", "pngEncode", "pngDecode", "hash"};
constexpr std::array<std::string_view, traceNameCount<Wait>> waitNames{
    "screenshot", "toolExit",   "activation", "raise",      "keyPress",     "keyRelease",
    "popupKey",   "popupClick", "popupPress", "menuEscape", "notification", "transientWindow"};
constexpr std::array<std::string_view, traceNameCount<Input>> inputNames{
    "key", "mouseMove", "mouseButton", "scroll", "axAction", "axSet", "activation"};
constexpr std::array<std::string_view, traceNameCount<Screenshot>> shotNames{"service", "tool", "timedOut",
                                                                                     "skipped"};

// Every entry of every enumeration has its name.
constexpr bool allNamed(std::span<const std::string_view> names) {
    for (std::string_view name : names)
        if (name.empty()) return false;
    return true;
}
static_assert(allNamed(stageNames) && allNamed(waitNames) && allNamed(inputNames) && allNamed(shotNames));

// Milliseconds to the microsecond: finer digits are clock noise.
double milliseconds(double seconds) { return std::round(seconds * 1e6) / 1e3; }

// Names with their entries, only those that occurred; nothing when none did.
template <typename Names, typename Entries, typename Entry>
void addOccurred(Object& line, std::string_view key, const Names& names, const Entries& entries, Entry entry) {
    Object occurred;
    for (size_t i = 0; i < names.size(); ++i) {
        if (auto value = entry(entries[i])) occurred.emplace(names[i], std::move(*value));
    }
    if (!occurred.empty()) line.emplace(key, std::move(occurred));
}

}  // namespace

TraceVocabulary traceVocabulary() { return {stageNames, waitNames, inputNames, shotNames}; }

RequestTrace::RequestTrace(Platform& clock) : clock_(clock), start_(clock.monotonic()) {}

Object RequestTrace::line() const {
    Object line{{"ms", milliseconds(now() - start_)},
                {"op", operation_.empty() ? Value() : Value(operation_)},
                {"outcome", outcome_}};
    auto tally = [](const Tally& t) -> std::optional<Value> {
        if (t.count == 0) return std::nullopt;
        return Object{{"count", t.count}, {"ms", milliseconds(t.seconds)}};
    };
    auto count = [](int64_t n) -> std::optional<Value> {
        if (n == 0) return std::nullopt;
        return Value(n);
    };
    addOccurred(line, "stages", stageNames, stages_, tally);
    addOccurred(line, "waits", waitNames, waits_, tally);
    addOccurred(line, "input", inputNames, inputs_, count);
    addOccurred(line, "screenshots", shotNames, shots_, count);
    return line;
}

void pause(Platform& platform, double seconds, Wait why) {
    const Timed<Wait> waiting(why);
    platform.sleep(seconds);
}

}  // namespace quillgate
