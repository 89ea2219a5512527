#pragma once
// Where request traces go (QUILLGATE_TRACE): a file opened once for
// appending, one whole line per write. A trace is for whoever looks into a
// slow machine, never part of an answer: a file that cannot be opened or
// written is said once on standard error, and the requests go on as if
// untraced.

#include <memory>
#include <string>

#include "core/trace.h"

namespace quillgate {

class TraceFile {
public:
    // The file at `path`, created when missing; null when it cannot be
    // opened, which is then said on standard error.
    static std::unique_ptr<TraceFile> open(const std::string& path);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Appends the trace's line. Nothing it meets reaches the caller.
    void append(const RequestTrace& trace) noexcept;

private:
    TraceFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    // Says the first failure to write on standard error.
    void report(const char* problem) noexcept;

    int fd_;
    std::string path_;
    bool reported_ = false;
};

}  // namespace quillgate
