#pragma once
// JSON text to Value, through simdjson. The caller owns a Reader and reuses it:
// its parser keeps its buffers between documents, so a large request line is
// parsed without allocating anew.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::json {

class Reader {
public:
    Reader();
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Parses one JSON document. `padded` must hold `length` bytes of text
    // followed by at least paddingBytes() readable bytes, so simdjson reads in
    // place without copying. Absent when the text is not JSON (syntax, depth,
    // invalid UTF-8, numbers out of range).
    std::optional<Value> parse(const char* padded, size_t length);

    // Convenience for text held in an ordinary string (copies once).
    std::optional<Value> parse(std::string_view text);

    static size_t paddingBytes();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillgate::json
