#pragma once
// The workspace of the scene: running applications ("apps"), the frontmost
// one, and the process's own ids ("self").

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace quillgate::sim {

// The first "apps" entry with this pid, or null.
const Object* appEntry(const Value& scene, int32_t pid);

std::optional<RunningApplication> runningApplication(const Value& scene, int32_t pid);
// Applications of a bundle identifier in the listed order.
std::vector<RunningApplication> runningApplications(const Value& scene, std::string_view bundle);
std::optional<int32_t> frontmostPid(const Value& scene);

// Whether activating the application succeeds: it runs and its "activates" is not false.
bool activates(const Value& scene, int32_t pid);

// "self": the program's own ids, the real ones unless the scene names them.
int32_t ownPid(const Value& scene);
int32_t parentPid(const Value& scene);

}  // namespace quillgate::sim
