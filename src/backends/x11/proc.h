#pragma once
// What /proc tells about a process: its name and when it started. Both are
// fixed for the process's life, unlike a window's class, which differs
// between one application's windows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillgate::x11 {

// The process's command name (what ps shows); absent when it is gone.
std::optional<std::string> processName(int32_t pid);

// Seconds since 1970 at which the process started; absent when it is gone:
// a process that has exited and waits for its parent to collect it, or one
// that has been killed and is still ending, is gone.
std::optional<double> launchDate(int32_t pid);

// Whether field 3 of /proc/<pid>/stat (the state) says the process has
// exited: a zombie or dead.
bool exited(std::string_view stat);

// Whether /proc/<pid>/status lists a kill among the signals pending for the
// process or its thread (SigPnd, ShdPnd). A killed process may take a while
// to end on a busy system, and its windows stay until it has.
bool killPending(std::string_view status);

// Field 22 of /proc/<pid>/stat (start time in clock ticks after boot). The
// command name in field 2 may hold spaces and parentheses, so fields are
// counted from its last closing parenthesis.
std::optional<uint64_t> startTicks(std::string_view stat);

// The "btime" line of /proc/stat: boot time in seconds since 1970.
std::optional<uint64_t> bootTime(std::string_view stat);

}  // namespace quillgate::x11
