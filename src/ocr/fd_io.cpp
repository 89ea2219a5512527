#include "fd_io.h"

#include <cerrno>

#include <unistd.h>

namespace lumascan {

std::optional<std::vector<std::byte>> readAll(int fd) {
    std::vector<std::byte> data;
    std::byte chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) return data;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        data.insert(data.end(), chunk, chunk + n);
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace lumascan
