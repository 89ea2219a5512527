#include "capture/capture.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include "capture/once.h"
#include "capture/tool.h"
#include "core/trace.h"

namespace quillgate {
namespace {

constexpr double sckTimeLimit = 3.0;
// After a timeout or a decline the service is left alone this long, so a hung
// service costs its wait once per period.
constexpr double sckBackOff = 300.0;

int wholePoints(double length) {
    if (!(length >= 1)) return 0;
    if (length >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(length);
}

// What a screenshot's thread hands the request: the picture or the error,
// and, when the request is traced, how long the thread worked for it.
struct Shot {
    std::optional<Image> image;
    std::exception_ptr error;
    double seconds = 0;
};

}  // namespace

// The screenshot on a thread of its own against a timer; the first to finish
// answers. The timer is a timed wait of this request on the race itself, so a
// screenshot that answers in time ends it and leaves no thread behind. A late
// screenshot is not stopped: it ends its count whenever it returns, possibly
// long after this request was answered, and its picture is dropped by Once.
// Its thread holds what it touches, reports its time only through Once, so
// a late thread never touches the request's trace, and is the platform's
// helper until its answer is handed over and all it held is released, so
// simulated time cannot run the timer out while the shot is still at work.
Image race(Context& context, std::function<Image()> shot) {
    auto once = std::make_shared<Once<Shot>>();
    std::shared_ptr<Platform> platform = context.platform;
    RequestTrace* const trace = activeTrace();
    const Timed<Wait> waiting(Wait::screenshot);
    const double deadline = platform->monotonic() + sckTimeLimit;

    std::shared_ptr<PendingCapture> pending = context.pendingCapture;
    pending->begin();
    try {
        std::thread([once, pending, clock = trace ? platform : nullptr, shot = std::move(shot),
                     helper = platform->helper()]() mutable {
            {
                Shot result;
                const double start = clock ? clock->monotonic() : 0;
                try {
                    result.image = shot();
                } catch (...) {
                    result.error = std::current_exception();
                }
                if (clock) result.seconds = clock->monotonic() - start;
                // The count ends before the answer is handed over, so the
                // request it answers, and the next one, never find it still
                // outstanding.
                pending->end();
                once->finish(std::move(result));
            }
            // The handle goes last: once it is back, nothing of this race is
            // held by the thread, a late picture included.
            shot = nullptr;
            once.reset();
            pending.reset();
            clock.reset();
            helper.reset();
        }).detach();
    } catch (...) {
        pending->end();  // no thread, so nothing else will
        throw;
    }
    if (!once->waitUntil(*platform, deadline) && once->finish(std::make_exception_ptr(CaptureTimeout())))
        traceCount(Screenshot::timedOut);
    Shot result = once->wait();
    if (trace) trace->add(Stage::screenshotService, result.seconds);
    if (!result.image) std::rethrow_exception(result.error);
    traceCount(Screenshot::service);
    return std::move(*result.image);
}

namespace {

Image toolAfterDecline(Platform& platform, const Window& window) {
    try {
        return captureByTool(platform, window);
    } catch (...) {
        reject(msg::screenPermission);
    }
}

}  // namespace

PixelSize pixelSize(const Rect& frame) { return {wholePoints(frame.width), wholePoints(frame.height)}; }

bool serviceAvailable(Context& context) {
    return !context.pendingCapture->pending() && context.platform->now() >= context.sckBadUntil;
}

void backOffService(Context& context) { context.sckBadUntil = context.platform->now() + sckBackOff; }

Image capture(Context& context, const Window& window) {
    Platform& platform = *context.platform;
    const PendingCapture& pending = *context.pendingCapture;
    if (pending.blocked()) reject(screenWaitingMessage(platform));
    if (!serviceAvailable(context)) {
        traceCount(Screenshot::skipped);
        return captureByToolWatched(context, window);
    }

    bool timedOut = false;
    bool declined = false;
    try {
        return raceSCK(context, window);
    } catch (const GuardFailure&) {
        throw;  // the service's own verdict on the window: no fallback
    } catch (const CaptureTimeout&) {
        timedOut = true;
    } catch (const std::exception& error) {
        declined = sckDeclined(error);
    } catch (...) {
    }
    if (timedOut || declined) backOffService(context);
    if (declined) return toolAfterDecline(platform, window);
    return captureByToolWatched(context, window);
}

Image captureSCK(Platform& platform, const Window& window) {
    const std::vector<ShareableWindow> shareable = platform.shareableWindows();
    const bool listed = std::any_of(shareable.begin(), shareable.end(), [&](const ShareableWindow& w) {
        return w.windowID == window.id && w.pid && *w.pid == window.pid;
    });
    if (!listed) reject(msg::captureUnavailable);
    const PixelSize size = pixelSize(window.rect);
    Image image = platform.screenshot(window.id, size.width, size.height);
    // Another size means the window was resized since it was listed.
    if (size.width <= 0 || size.height <= 0 || image.width != size.width || image.height != size.height)
        reject(msg::captureEmptyOrResized);
    return image;
}

Image raceSCK(Context& context, const Window& window) {
    return race(context, [platform = context.platform, window] { return captureSCK(*platform, window); });
}

}  // namespace quillgate
