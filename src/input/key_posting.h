#pragma once
// The only keyboard input quillgate can produce: one of a fixed set of named
// keys and chords. The name is the whole contract, so a host can never make
// the program type text.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace quillgate {

// Presses and releases one of the fourteen allowed names (matched exactly,
// case included) at the HID event tap, 40 ms apart; with a pid, "enter" and
// "cmd+enter" first go to that process directly as well. Blocks for the
// pause. Any other name is refused with "key is not permitted" before
// anything is posted, and so is an event the platform cannot create.
// `proven`, when given, is handed each key's going down (the press alone,
// or a press and release sent straight to the process) and runs it once
// what it proves holds, or refuses by throwing; a key that went down is
// always released. Delivery is not confirmed.
using ProvenPost = std::function<void(const std::function<void()>& post)>;
void postKey(Platform& platform, std::string_view name, std::optional<int32_t> pid, const ProvenPost& proven = {});

// The allowed names, in the order of the table.
std::vector<std::string_view> allowedKeyNames();

}  // namespace quillgate
