#pragma once
// The single-window screenshot service ("sck"): what it lists, how long a
// screenshot takes and what it answers.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillgate::sim {

inline constexpr int64_t sckDeclined = screenshotUserDeclined;
inline constexpr int64_t sckNoContent = -3805;
inline constexpr int64_t sckWindowGone = -3812;

// The windows it can see; throws PlatformError when "content" is "error".
std::vector<ShareableWindow> shareableWindows(const Value& scene);

// How long a screenshot takes; absent when it never answers.
std::optional<double> screenshotDelay(const Value& scene);

// The answer once the delay has passed: the configured error, the -3812
// error for a window no longer on screen, or the window's picture at the
// requested size (or "size" when set). Throws PlatformError.
Image screenshotAnswer(const Value& scene, const std::string& baseDir, uint32_t windowID, int width, int height);

}  // namespace quillgate::sim
