#pragma once
// A one-shot resumer: the capture race has two finishers (the screenshot and
// its timer) and one waiting request, which must be resumed exactly once.
// The loser's finish is dropped, whenever it comes.

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>
#include <variant>

#include "platform/platform.h"

namespace quillgate {

template <typename T>
class Once {
public:
    // Each returns true for the call that resumed the waiter; later calls do
    // nothing and return false.
    bool finish(T value) { return settle(Result(std::in_place_index<0>, std::move(value))); }
    bool finish(std::exception_ptr error) { return settle(Result(std::in_place_index<1>, std::move(error))); }

    // Blocks until the first finish, then returns its value or throws its
    // error. One waiter only: the value is moved out.
    T wait() {
        std::unique_lock lock(lock_);
        resumed_.wait(lock, [&] { return result_.has_value(); });
        if (result_->index() == 1) std::rethrow_exception(std::get<1>(*result_));
        return std::move(std::get<0>(*result_));
    }

    // Waits for the first finish until the platform's monotonic clock reaches
    // `deadline`; true when it came in time. A finish ends the wait at once.
    bool waitUntil(Platform& platform, double deadline) {
        std::unique_lock lock(lock_);
        return platform.waitUntil(resumed_, lock, deadline, [&] { return result_.has_value(); });
    }

private:
    using Result = std::variant<T, std::exception_ptr>;

    bool settle(Result result) {
        std::lock_guard hold(lock_);
        if (result_) return false;
        result_ = std::move(result);
        resumed_.notify_one();
        return true;
    }

    std::mutex lock_;
    std::condition_variable resumed_;
    std::optional<Result> result_;  // set once: the "done" of the race
};

}  // namespace quillgate
