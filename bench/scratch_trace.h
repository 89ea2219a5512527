#pragma once
// Tracing for the benchmarks: a service traced to a scratch file, as with
// QUILLGATE_TRACE, so that "traced" variants time the trace's whole cost,
// its line written to a file included.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "service/request_service.h"
#include "service/trace_file.h"

class ScratchTrace {
public:
    // Traces `service` when `on`; otherwise leaves it untraced.
    ScratchTrace(quillgate::RequestService& service, bool on) {
        if (!on) return;
        char name[] = "/tmp/quillgate-bench-trace-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        path_ = name;
        service.traceTo(quillgate::TraceFile::open(path_));
    }
    ~ScratchTrace() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    ScratchTrace(const ScratchTrace&) = delete;
    ScratchTrace& operator=(const ScratchTrace&) = delete;

    // What has been traced so far: a check that the traced runs did trace.
    double bytes() const {
        struct stat info{};
        return path_.empty() || stat(path_.c_str(), &info) != 0 ? 0 : static_cast<double>(info.st_size);
    }

private:
    std::string path_;
};
