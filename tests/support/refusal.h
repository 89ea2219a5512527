#pragma once
// The refusal a piece of the core ends with.

#include <string>
#include <utility>

#include "core/failure.h"

namespace quillgate::testing {

// The message of the refusal `act` throws, or "" when it finishes without one.
template <class Act>
std::string refusalOf(Act&& act) {
    try {
        std::forward<Act>(act)();
    } catch (const GuardFailure& failure) {
        return failure.message;
    }
    return "";
}

}  // namespace quillgate::testing
