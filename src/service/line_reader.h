#pragma once
// Request framing on a file descriptor: one request per line, terminated by LF
// or CR LF. Lines are kept in one reused buffer with simdjson's padding after
// them, so the parser reads them in place; a line longer than the limit is not
// kept past the limit but read to its end and reported as over-long.

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillgate {

class LineReader {
public:
    LineReader(int fd, size_t limit, size_t padding);

    struct Line {
        const char* data;  // followed by `padding` readable bytes
        size_t size;
        bool overLimit;    // longer than the limit; data holds only a prefix
    };

    // The next line, terminator removed; false at end of input. The data stays
    // valid until the next call.
    bool next(Line& line);

private:
    bool fill();

    int fd_;
    size_t limit_;
    size_t padding_;
    std::vector<char> chunk_;   // bytes read but not yet consumed
    size_t chunkStart_ = 0;
    size_t chunkEnd_ = 0;
    bool eof_ = false;
    std::vector<char> line_;    // the current line plus padding
};

}  // namespace quillgate
