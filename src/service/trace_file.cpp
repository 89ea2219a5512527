#include "service/trace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "json/writer.h"

namespace quillgate {

std::unique_ptr<TraceFile> TraceFile::open(const std::string& path) {
    // Appending makes each write land whole at the end, even with another
    // process writing to the same file.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        std::fprintf(stderr, "quillgate: trace file %s: %s; requests are not traced\n", path.c_str(),
                     std::strerror(error));
        return nullptr;
    }
    return std::unique_ptr<TraceFile>(new TraceFile(fd, path));
}

TraceFile::~TraceFile() { ::close(fd_); }

void TraceFile::append(const RequestTrace& trace) noexcept {
    try {
        auto text = json::serialise(trace.line());
        if (!text) return;
        text->push_back('\n');
        // One write for the whole line: a retry after a partial write could
        // interleave with another writer, so a short write is only reported.
        ssize_t written;
        do {
            written = ::write(fd_, text->data(), text->size());
        } while (written < 0 && errno == EINTR);
        if (written < 0) report(std::strerror(errno));
        else if (static_cast<size_t>(written) != text->size()) report("a line was cut short");
    } catch (...) {
        // Out of memory for the line: this request goes untraced.
    }
}

void TraceFile::report(const char* problem) noexcept {
    if (reported_) return;
    reported_ = true;
    std::fprintf(stderr, "quillgate: trace file %s: %s; requests go on\n", path_.c_str(), problem);
}

}  // namespace quillgate
