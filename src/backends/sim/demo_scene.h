#pragma once
// The scene used when no scene file is given, so that the program does
// something useful out of the box. Described in docs/scene-format.md.

#include <string_view>

namespace quillgate::sim {

std::string_view demoScene();

}  // namespace quillgate::sim
