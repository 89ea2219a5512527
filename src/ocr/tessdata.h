#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace lumascan {

// The first directory that holds <language>.traineddata for every language:
// `preferred` (from TESSDATA_PREFIX) when given, then each fallback in turn.
// Empty when none does.
std::filesystem::path findTessdata(const char* preferred,
                                   std::span<const std::filesystem::path> fallbacks,
                                   std::span<const std::string_view> languages);

}  // namespace lumascan
