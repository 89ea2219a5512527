#pragma once
// Where a request's time went. While a request is traced, its RequestTrace is
// the active trace of the thread answering it; the stages the request goes
// through add their time to it through the scoped timers below. Untraced,
// there is no active trace and each timer is one test of a null pointer.
//
// Only names from the tables here, counts and durations are recorded, and
// the outcome as answered: no title, text, pixel, key name or coordinate.
// A failure message may name an application or a window size, as the
// response itself does.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillgate {

// Stages of the work itself; they nest (a verification reads the window list).
enum class Stage : uint8_t {
    verification,       // proving the window is the bound one
    windowList,         // reading the window server's list
    axRead,             // one accessibility read
    screenshotService,  // the screenshot service's thread at work, when it came back in time
    screenshotTool,     // the screenshot tool, from launch to its picture
    pngEncode,
    pngDecode,
    hash,
    count_,
};

// Why the request waited.
enum class Wait : uint8_t {
    screenshot,       // for the screenshot service's thread, or its time limit
    toolExit,         // polling the screenshot tool
    activation,       // after bringing the application forward
    raise,            // after raising the window
    keyPress,         // between a key's down and up
    keyRelease,       // after releasing held keys
    popupKey,         // after a key sent to close a popup
    popupClick,       // around a click on a popup's element
    popupPress,       // after pressing a popup's element
    menuEscape,       // after closing a menu
    notification,     // for a notification over the target to leave
    transientWindow,  // for a transient window over the target to leave
    count_,
};

// What the request did to the desktop, counted by kind.
enum class Input : uint8_t {
    key,          // keyboard events posted
    mouseMove,    // pointer moves posted
    mouseButton,  // button downs and ups posted
    scroll,       // scroll-wheel events posted
    axAction,     // accessibility actions performed (press, raise)
    axSet,        // accessibility attributes set
    activation,   // applications activated or unhidden
    count_,
};

// Who answered a picture, and why the service did not.
enum class Screenshot : uint8_t {
    service,   // the screenshot service answered
    tool,      // the screenshot tool answered
    timedOut,  // the service missed its time limit
    skipped,   // the service was not asked: one is outstanding or it is held off
    count_,
};

// How many names an enumeration above has, and the place of one among them.
template <typename E>
inline constexpr size_t traceNameCount = static_cast<size_t>(E::count_);
template <typename E>
constexpr size_t tracePlace(E e) {
    return static_cast<size_t>(e);
}

class RequestTrace {
public:
    // Time runs from now on `clock`, the platform's monotonic clock.
    explicit RequestTrace(Platform& clock);

    double now() const { return clock_.monotonic(); }
    void add(Stage stage, double seconds) { add(stages_[tracePlace(stage)], seconds); }
    void add(Wait wait, double seconds) { add(waits_[tracePlace(wait)], seconds); }
    void count(Input input) { ++inputs_[tracePlace(input)]; }
    void count(Screenshot shot) { ++shots_[tracePlace(shot)]; }

    // The operation, by its catalogue name; untrusted text never comes here.
    void operation(std::string_view catalogueName) { operation_ = catalogueName; }
    // The failure the request was answered with; "ok" until one is set.
    void fail(std::string_view message) { outcome_.assign(message); }

    // The trace line: "op", "outcome", "ms" (the whole request so far) and
    // the stages, waits, inputs and pictures that occurred.
    Object line() const;

private:
    struct Tally {
        int64_t count = 0;
        double seconds = 0;
    };
    static void add(Tally& tally, double seconds) {
        ++tally.count;
        tally.seconds += seconds;
    }

    Platform& clock_;
    double start_;
    std::string_view operation_;
    std::string outcome_ = "ok";
    std::array<Tally, traceNameCount<Stage>> stages_{};
    std::array<Tally, traceNameCount<Wait>> waits_{};
    std::array<int64_t, traceNameCount<Input>> inputs_{};
    std::array<int64_t, traceNameCount<Screenshot>> shots_{};
};

// The trace line's names for the enumerations above, in their order.
struct TraceVocabulary {
    std::span<const std::string_view> stages, waits, inputs, screenshots;
};
TraceVocabulary traceVocabulary();

namespace detail {
extern constinit thread_local RequestTrace* activeTrace;
}

// The trace of the request this thread is answering, or null.
inline RequestTrace* activeTrace() { return detail::activeTrace; }

// Makes a trace the active one of this thread for a scope.
class ActiveTrace {
public:
    explicit ActiveTrace(RequestTrace& trace) : previous_(detail::activeTrace) { detail::activeTrace = &trace; }
    ~ActiveTrace() { detail::activeTrace = previous_; }
    ActiveTrace(const ActiveTrace&) = delete;
    ActiveTrace& operator=(const ActiveTrace&) = delete;

private:
    RequestTrace* previous_;
};

// Adds its scope's duration to a stage or wait of the active trace.
template <typename Kind>
class Timed {
public:
    explicit Timed(Kind kind) : trace_(activeTrace()), kind_(kind) {
        if (trace_) start_ = trace_->now();
    }
    ~Timed() {
        if (trace_) trace_->add(kind_, trace_->now() - start_);
    }
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    RequestTrace* trace_;
    Kind kind_;
    double start_ = 0;
};

using TraceStage = Timed<Stage>;

// `work()`, timed as a stage.
template <typename Work>
decltype(auto) timed(Stage stage, Work&& work) {
    const TraceStage timer(stage);
    return work();
}

// Counts an input or a picture on the active trace.
template <typename Kind>
void traceCount(Kind kind) {
    if (RequestTrace* trace = activeTrace()) trace->count(kind);
}

// The platform's sleep, recorded as a wait for its reason.
void pause(Platform& platform, double seconds, Wait why);

}  // namespace quillgate
