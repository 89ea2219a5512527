#pragma once
// Loading a scene: reading and parsing its text, checking the parts the
// simulator itself must interpret, and the defaults of every key.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::sim {

// A scene that cannot be used. The message is one line naming the problem;
// whoever knows the file's name puts it in front.
class SceneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace defaults {
inline constexpr double timeScale = 1;
inline constexpr double epoch = 1765000000;
inline constexpr int64_t cursorLevel = 2147483630;
inline constexpr double since = 3600;
inline constexpr double sckDelay = 0.02;
inline constexpr double toolDelay = 0.02;
inline constexpr double toolScale = 1;
}  // namespace defaults

// The "clock" value that chooses virtual time (clock.h); without the key
// time is scaled.
inline constexpr std::string_view virtualClock = "virtual";

// The scene object of a JSON text.
Value parseScene(std::string_view text);

// The whole content of a file; the error says why it cannot be read.
std::string readFile(const std::string& path);

// The scene with its "base" applied: a scene naming a base scene file
// (relative to `folder`, the scene's own) is a merge patch over that scene,
// which may name a base of its own, relative to its folder. Throws SceneError
// when a base cannot be read or parsed.
Value withBase(Value scene, std::string folder);

// Checks what must be right before the scene can run: the clock, the
// applications' pids, the timeline and reactions, and the pictures (colours
// and PNG files, read relative to baseDir). Everything else is read leniently
// while the scene runs, since patches may change it.
void checkScene(const Value& scene, const std::string& baseDir);

// The folder of a file path ("." when it has none) and a path resolved against a folder.
std::string folderOf(const std::string& path);
std::string resolvePath(const std::string& folder, const std::string& path);

}  // namespace quillgate::sim
