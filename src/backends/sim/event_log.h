#pragma once
// The event log: one JSON object per line for everything the program did to
// the desktop, appended and flushed as it happens, and kept in memory only
// for a test that asks: a long session posts events without end.

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace quillgate::sim {

class EventLog {
public:
    // Appends to `path` when given (created if missing); throws
    // std::runtime_error naming the file when it cannot be opened.
    explicit EventLog(const std::optional<std::string>& path);

    // Logs {"t": time, "what": what, ...fields}.
    void append(double time, std::string_view what, Object fields);
    // From now on every event is also kept for events().
    void keep() { keep_ = true; }
    const std::vector<Value>& events() const { return events_; }

private:
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> file_;
    bool keep_ = false;
    std::vector<Value> events_;
};

// A value as the log writes it: points and sizes in the scene's notation
// ({"point": [x, y]}, {"size": [w, h]}), elements as {"ref": their log name},
// numbers that JSON cannot hold as null.
Value loggable(const Value& value, const std::function<Value(const Element&)>& nameOf);

}  // namespace quillgate::sim
