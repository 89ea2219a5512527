#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace lumascan {

// The first directory that holds every one of `files`: `preferred` (from an
// environment variable) when given, then each fallback in turn. Empty when
// none does.
std::filesystem::path findDataDir(const char* preferred,
                                  std::span<const std::filesystem::path> fallbacks,
                                  std::span<const std::string> files);

}  // namespace lumascan
