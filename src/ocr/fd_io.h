#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace lumascan {

// Everything up to end of file; nullopt on a read error.
std::optional<std::vector<std::byte>> readAll(int fd);

// Writes all of `data`, resuming after short writes and signals.
bool writeAll(int fd, std::string_view data);

}  // namespace lumascan
