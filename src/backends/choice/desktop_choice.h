#pragma once
// The choice between the desktops a build links, made by QUILLGATE_DESKTOP at
// run time. The first desktop of the list is the one used when the variable
// is unset or empty; a desktop that was asked for and cannot start is an
// error, never a reason to use another.

#include <memory>
#include <span>
#include <string_view>

#include "platform/platform.h"

namespace quillgate {

struct Desktop {
    std::string_view name;
    std::shared_ptr<Platform> (*make)();
};

// The desktop QUILLGATE_DESKTOP names; std::runtime_error, naming the
// desktops there are, when it names none of them.
std::shared_ptr<Platform> chooseDesktop(std::span<const Desktop> desktops);

}  // namespace quillgate
