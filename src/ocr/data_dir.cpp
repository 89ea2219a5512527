#include "data_dir.h"

#include <algorithm>
#include <system_error>

namespace lumascan {
namespace {

bool holdsAll(const std::filesystem::path& dir, std::span<const std::string> files) {
    return std::ranges::all_of(files, [&](const std::string& file) {
        std::error_code ec;
        return std::filesystem::is_regular_file(dir / file, ec);
    });
}

}  // namespace

std::filesystem::path findDataDir(const char* preferred,
                                  std::span<const std::filesystem::path> fallbacks,
                                  std::span<const std::string> files) {
    if (preferred != nullptr && *preferred != '\0' && holdsAll(preferred, files)) return preferred;
    for (const auto& dir : fallbacks) {
        if (holdsAll(dir, files)) return dir;
    }
    return {};
}

}  // namespace lumascan
