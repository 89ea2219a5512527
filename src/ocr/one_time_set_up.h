#pragma once

namespace lumascan {

// A costly set-up (loading an engine's models) that waits for the first
// image worth it and is then done only once: later calls give its first
// outcome.
class OneTimeSetUp {
public:
    template <typename SetUp>
    bool done(SetUp&& setUp) {
        if (state_ == State::fresh) state_ = setUp() ? State::ready : State::failed;
        return state_ == State::ready;
    }

private:
    enum class State { fresh, ready, failed };
    State state_ = State::fresh;
};

}  // namespace lumascan
