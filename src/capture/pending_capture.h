#pragma once
// Screenshots started and not yet returned. A screenshot may outlive the
// request that started it (its timer won), and while one is outstanding the
// screenshot service is presumed hung behind the system's permission prompt:
// captures then go to the tool, and once the tool has failed meanwhile they
// are refused with the waiting message until the screenshot returns.

#include <cstdint>
#include <mutex>

namespace quillgate {

class PendingCapture {
public:
    void begin();
    // The end that brings the count to zero also lifts the tool block.
    void end();
    // Marks the tool as failed, only while a screenshot is outstanding.
    void blockTool();

    bool pending() const;
    bool blocked() const;

private:
    mutable std::mutex lock_;
    int64_t count_ = 0;
    bool toolBlocked_ = false;
};

}  // namespace quillgate
