#include "service/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillgate {

namespace {
constexpr size_t readSize = 1 << 20;
}  // namespace

// Room for one byte more than the limit, so that a line of exactly the limit
// followed by CR LF is seen whole before the CR is stripped, plus one read; a
// longer line is never kept. The buffer is reserved whole and never moves:
// the system backs its pages only once bytes are written there, and reading
// restarts at the front whenever everything read has been consumed, so a
// session of small requests touches only the first pages.
LineReader::LineReader(int fd, size_t limit)
    : fd_(fd),
      limit_(limit),
      capacity_(limit + 1 + readSize),
      buffer_(new char[capacity_ + 1]) {}

void LineReader::compact() {
    if (start_ == 0) return;
    std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
}

bool LineReader::fill() {
    if (eof_) return false;
    // What is kept of an unfinished line never exceeds limit + 1 bytes, so
    // after compacting there is room for a read.
    if (end_ == capacity_) compact();
    for (;;) {
        ssize_t n = ::read(fd_, buffer_.get() + end_, std::min(capacity_ - end_, readSize));
        if (n > 0) {
            end_ += static_cast<size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        eof_ = true;  // end of input, or an input that can no longer be read
        return false;
    }
}

bool LineReader::next(Line& line) {
    if (start_ == end_) start_ = end_ = 0;
    const size_t keep = limit_ + 1;
    size_t scanned = 0;  // bytes of the line searched for LF, from start_
    bool trimmed = false;  // bytes past `keep` of an over-long line were thrown away
    for (;;) {
        char* base = buffer_.get() + start_;
        size_t available = end_ - start_;
        const void* nl = std::memchr(base + scanned, '\n', available - scanned);
        size_t kept = nl ? static_cast<size_t>(static_cast<const char*>(nl) - base) : available;
        if (kept > keep) {
            // Forget all but the first `keep` bytes: the line is refused anyway.
            size_t excess = kept - keep;
            std::memmove(base + keep, base + kept, available - kept);
            trimmed = true;
            end_ -= excess;
            kept = keep;
        }
        // fill() may move the bytes to the front of the buffer: from here on
        // only offsets from start_ are used.
        if (!nl && fill()) {
            scanned = kept;
            continue;
        }
        if (!nl && kept == 0) return false;
        base = buffer_.get() + start_;
        // A trimmed line keeps limit + 1 bytes, CR or not, to stay over the limit.
        size_t size = kept;
        if (nl && !trimmed && size > 0 && base[size - 1] == '\r') --size;
        start_ += nl ? kept + 1 : kept;
        // The terminator's byte, or the one byte kept after the buffer, ends
        // the line.
        base[size] = '\0';
        line = Line{base, size};
        return true;
    }
}

}  // namespace quillgate
