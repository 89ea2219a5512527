#pragma once

#include <optional>
#include <span>
#include <string>

#include "text_line.h"

namespace lumascan {

// The lines as one compact JSON array of {"text","score","box"} objects,
// non-ASCII text as raw UTF-8. Nullopt when a line cannot be represented:
// text that is not valid UTF-8, or a score or coordinate that is not finite.
std::optional<std::string> toJson(std::span<const TextLine> lines);

}  // namespace lumascan
