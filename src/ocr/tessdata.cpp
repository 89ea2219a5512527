#include "tessdata.h"

#include <string>
#include <vector>

#include "data_dir.h"

namespace lumascan {

std::filesystem::path findTessdata(const char* preferred,
                                   std::span<const std::filesystem::path> fallbacks,
                                   std::span<const std::string_view> languages) {
    std::vector<std::string> files;
    for (const auto language : languages) files.push_back(std::string(language) + ".traineddata");
    return findDataDir(preferred, fallbacks, files);
}

}  // namespace lumascan
