#include "tessdata.h"

#include <algorithm>
#include <system_error>

namespace lumascan {
namespace {

bool hasLanguages(const std::filesystem::path& dir, std::span<const std::string_view> languages) {
    return std::ranges::all_of(languages, [&](std::string_view language) {
        std::error_code ec;
        auto file = dir / language;
        file += ".traineddata";
        return std::filesystem::is_regular_file(file, ec);
    });
}

}  // namespace

std::filesystem::path findTessdata(const char* preferred,
                                   std::span<const std::filesystem::path> fallbacks,
                                   std::span<const std::string_view> languages) {
    if (preferred != nullptr && *preferred != '\0' && hasLanguages(preferred, languages)) {
        return preferred;
    }
    for (const auto& dir : fallbacks) {
        if (hasLanguages(dir, languages)) return dir;
    }
    return {};
}

}  // namespace lumascan
