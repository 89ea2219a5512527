#pragma once
// A scene a user can share: every recorded text value and title replaced by
// a placeholder of the same length, every picture blank.

#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::recorder {

// The placeholder of a text: one "x" per character (code point), so that a
// text's length survives and equal texts stay equal; line breaks and spaces
// are kept, so lines and words keep their shape.
std::string placeholder(std::string_view text);

// Redacts a recorded scene in place: the session dictionary's texts, the
// window names, and every text-valued attribute of the accessibility trees
// except the role vocabulary (AXRole, AXSubrole, AXRoleDescription), which
// the program matches on and which says nothing about the user. Pictures
// become a plain white fill.
void redact(Object& scene);

}  // namespace quillgate::recorder
