#pragma once
// The request service: process entry, the request loop and the dispatcher.

#include <memory>
#include <string>
#include <vector>

#include "core/context.h"
#include "json/reader.h"
#include "platform/platform.h"

namespace quillgate {

// One request line may hold at most this many UTF-8 bytes (24 MiB).
inline constexpr size_t requestLimit = 25'165'824;

class TraceFile;

class RequestService {
public:
    explicit RequestService(std::shared_ptr<Platform> platform);
    ~RequestService();

    // The whole program after the platform is up: a permission mode or the
    // request loop on standard input and output. Returns the exit status.
    int main(const std::vector<std::string>& arguments);

    // Answers one request map: the operation's response, or a thrown failure.
    Object run(const Object& request);

    // Every operation name the dispatcher routes, in the order it matches them.
    static std::vector<std::string_view> operationNames();

    // The response line (without newline) for one request line.
    // A line longer than the request limit is refused without being read.
    std::string respond(const char* line, size_t size);

    // Appends a trace line for every request from now on to `file`; null
    // changes nothing.
    void traceTo(std::unique_ptr<TraceFile> file);

    Context& context() { return context_; }

private:
    void loop(bool server);
    std::string answer(const char* line, size_t size);

    Context context_;
    json::Reader reader_;
    std::unique_ptr<TraceFile> traceFile_;
};

}  // namespace quillgate
