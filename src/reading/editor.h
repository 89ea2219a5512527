#pragma once
// Recognising the chat's message editor among accessibility elements. Only
// plain text areas and fields qualify: a password field is never read.

#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillgate {

// Longest editor text returned, in user-perceived characters; a longer value
// is not taken for the composer.
inline constexpr size_t editorMaxCharacters = 8192;

// The element's "AXValue" when it is an editor whose frame's centre lies in
// `searchRect` (global points); nothing otherwise. An empty text is a value.
std::optional<std::string> editorValue(Platform& platform, const Element& element, const Rect& searchRect);

}  // namespace quillgate
