#pragma once
// The gates in front of every operation on the bound window: nothing touches
// the chat window unless the window has just been proven to be the bound one.

#include <string>
#include <string_view>
#include <vector>

#include "core/binding.h"
#include "core/context.h"

namespace quillgate {

// Runs the gate for the name, then the operation with the window it verified.
Object gated(Context& context, const std::string& name, const Object& request, const Binding& bound);

// Every name the gates run an operation for, in the order they are matched.
std::vector<std::string_view> gatedOperationNames();

}  // namespace quillgate
