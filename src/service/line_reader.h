#pragma once
// Request framing on a file descriptor: one request per line, terminated by LF
// or CR LF. Bytes are read straight into one reused buffer and a line is
// handed out where it lies, NUL-terminated, so the parser reads it in place. A line longer than the limit is not kept past the limit
// but read to its end and reported as over-long.

#include <cstddef>
#include <memory>

namespace quillgate {

class LineReader {
public:
    LineReader(int fd, size_t limit);

    struct Line {
        const char* data;  // followed by a NUL
        size_t size;
    };

    // The next line, terminator removed; false at end of input. A line longer
    // than the limit comes as its first limit + 1 bytes, so its size still
    // tells it apart. The data stays valid until the next call.
    bool next(Line& line);

private:
    // Reads more bytes after end_, first moving the unconsumed ones to the
    // front when the buffer is full; false at end of input.
    bool fill();
    // Moves the unconsumed bytes to the front of the buffer.
    void compact();

    int fd_;
    size_t limit_;
    size_t capacity_;   // usable bytes, the NUL after a line's last byte not included
    std::unique_ptr<char[]> buffer_;
    size_t start_ = 0;  // first unconsumed byte
    size_t end_ = 0;    // one past the last byte read
    bool eof_ = false;
};

}  // namespace quillgate
