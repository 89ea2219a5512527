#include "capture/pending_capture.h"

namespace quillgate {

void PendingCapture::begin() {
    std::lock_guard hold(lock_);
    ++count_;
}

void PendingCapture::end() {
    std::lock_guard hold(lock_);
    if (--count_ <= 0) {
        count_ = 0;
        toolBlocked_ = false;
    }
}

void PendingCapture::blockTool() {
    std::lock_guard hold(lock_);
    if (count_ > 0) toolBlocked_ = true;
}

bool PendingCapture::pending() const {
    std::lock_guard hold(lock_);
    return count_ > 0;
}

bool PendingCapture::blocked() const {
    std::lock_guard hold(lock_);
    return count_ > 0 && toolBlocked_;
}

}  // namespace quillgate
