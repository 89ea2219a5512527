// Process entry and the request loop: one JSON request per input line, one
// response line per request, in order.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <simdjson.h>

#include "capture/pending_capture.h"
#include "core/failure.h"
#include "core/trace.h"
#include "core/tracing_platform.h"
#include "json/writer.h"
#include "service/line_reader.h"
#include "service/request_service.h"
#include "service/trace_file.h"

namespace quillgate {

namespace {

std::string failureLine(std::string_view message) {
    if (RequestTrace* trace = activeTrace()) trace->fail(message);
    // Messages are valid UTF-8 text, so this always serialises.
    return *json::serialise(Object{{"ok", false}, {"error", std::string(message)}});
}

// Writes all of `text`; false when the output is closed.
bool writeAll(std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(STDOUT_FILENO, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

const char* word(bool b) { return b ? "true" : "false"; }

// Larger pipe buffers let a 24 MiB line cross in fewer reads; where the
// platform does not allow it, the default stays.
void enlargePipe(int fd) {
#ifdef F_SETPIPE_SZ
    fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
    (void)fd;
#endif
}

}  // namespace

RequestService::RequestService(std::shared_ptr<Platform> platform)
    : context_{std::move(platform), std::make_shared<PendingCapture>()} {}

RequestService::~RequestService() = default;

std::string RequestService::respond(const char* line, size_t size) {
    if (!traceFile_) return answer(line, size);
    RequestTrace trace(*context_.platform);
    std::string response;
    {
        const ActiveTrace active(trace);
        response = answer(line, size);
    }
    traceFile_->append(trace);
    return response;
}

void RequestService::traceTo(std::unique_ptr<TraceFile> file) {
    if (!file) return;
    if (!traceFile_) context_.platform = std::make_shared<TracingPlatform>(context_.platform);
    traceFile_ = std::move(file);
}

std::string RequestService::answer(const char* line, size_t size) {
    try {
        if (size > requestLimit) reject(msg::invalidRequest);
        auto parsed = reader_.parse(line, size);
        // The parser refuses text that is not UTF-8 along with any other fault;
        // only then is the line checked for which of the two it was.
        if (!parsed && !simdjson::validate_utf8(line, size)) reject(msg::invalidRequest);
        // Like the platform reader without fragments, a bare scalar is no JSON text.
        if (!parsed || !(parsed->isObject() || parsed->isArray())) return failureLine(msg::nativeFailed);
        const Object* request = parsed->asObject();
        if (!request) reject(msg::invalidRequest);
        // Moved into the value it is written from: a picture's payload is megabytes.
        Value response(run(*request));
        // A response that cannot be written still gets its one line.
        if (auto text = json::serialise(response)) return std::move(*text);
        return failureLine(msg::nativeFailed);
    } catch (const GuardFailure& failure) {
        return failureLine(failure.message);
    } catch (...) {
        return failureLine(msg::nativeFailed);
    }
}

void RequestService::loop(bool server) {
    enlargePipe(STDIN_FILENO);
    enlargePipe(STDOUT_FILENO);
    LineReader lines(STDIN_FILENO, requestLimit);
    LineReader::Line line{};
    while (lines.next(line)) {
        std::string text = respond(line.data, line.size);
        text.push_back('\n');
        if (!writeAll(text)) return;  // the host closed its end: nobody is listening
        if (!server) return;
    }
}

int RequestService::main(const std::vector<std::string>& arguments) {
    // A closed output pipe ends the loop through write's error, not a signal.
    signal(SIGPIPE, SIG_IGN);
    Platform& p = *context_.platform;
    if (arguments.size() == 2) {
        const std::string& mode = arguments[1];
        std::string line;
        if (mode == "--permission-status") {
            bool screen = p.screenCapturePreflight();
            bool accessibility = p.accessibilityTrusted(false);
            line = std::string("{\"ok\":true,\"screen\":") + word(screen) + ",\"accessibility\":" + word(accessibility) + "}";
        } else if (mode == "--request-screen-permission") {
            bool screen = p.screenCapturePreflight();
            if (!screen) screen = p.screenCaptureRequest();
            line = std::string("{\"ok\":true,\"screen\":") + word(screen) + "}";
        } else if (mode == "--request-accessibility-permission") {
            line = std::string("{\"ok\":true,\"accessibility\":") + word(p.accessibilityTrusted(true)) + "}";
        }
        if (!line.empty()) {
            writeAll(line + "\n");
            return 0;
        }
    }
    bool server = false;
    for (size_t i = 1; i < arguments.size(); ++i) server = server || arguments[i] == "--server";
    if (const char* path = std::getenv("QUILLGATE_TRACE"); path && *path) traceTo(TraceFile::open(path));
    loop(server);
    return 0;
}

}  // namespace quillgate
