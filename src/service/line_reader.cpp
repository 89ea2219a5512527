#include "service/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillgate {

namespace {
constexpr size_t chunkSize = 1 << 20;
}

LineReader::LineReader(int fd, size_t limit, size_t padding)
    : fd_(fd), limit_(limit), padding_(padding), chunk_(chunkSize) {}

bool LineReader::fill() {
    if (eof_) return false;
    for (;;) {
        ssize_t n = ::read(fd_, chunk_.data(), chunk_.size());
        if (n > 0) {
            chunkStart_ = 0;
            chunkEnd_ = static_cast<size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        eof_ = true;  // end of input, or an input that can no longer be read
        return false;
    }
}

bool LineReader::next(Line& line) {
    // One byte more than the limit is kept, so that a line of exactly the
    // limit followed by CR LF is recognised before the CR is stripped.
    const size_t keep = limit_ + 1;
    size_t size = 0;
    size_t total = 0;
    bool sawAny = false;
    bool terminated = false;
    line_.resize(std::min(keep, chunkSize) + padding_);
    while (!terminated) {
        if (chunkStart_ == chunkEnd_ && !fill()) break;
        sawAny = true;
        const char* begin = chunk_.data() + chunkStart_;
        size_t available = chunkEnd_ - chunkStart_;
        const void* nl = std::memchr(begin, '\n', available);
        size_t take = nl ? static_cast<size_t>(static_cast<const char*>(nl) - begin) : available;
        total += take;
        size_t room = keep - size;
        size_t copy = std::min(take, room);
        if (copy) {
            if (line_.size() < size + copy + padding_) line_.resize(std::min(keep, 2 * (size + copy)) + padding_);
            std::memcpy(line_.data() + size, begin, copy);
            size += copy;
        }
        chunkStart_ += take;
        if (nl) {
            ++chunkStart_;
            terminated = true;
        }
    }
    if (!sawAny) return false;
    if (total <= keep && size > 0 && line_[size - 1] == '\r' && terminated) {
        --size;
        --total;
    }
    std::memset(line_.data() + size, 0, padding_);
    line = Line{line_.data(), size, total > limit_};
    return true;
}

}  // namespace quillgate
