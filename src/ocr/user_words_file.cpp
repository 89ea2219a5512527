#include "user_words_file.h"

#include "fd_io.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace lumascan {
namespace {

bool fitsOneLine(std::string_view word) {
    return !word.empty() && word.find_first_of(std::string_view("\n\r\0", 3)) == std::string_view::npos;
}

}  // namespace

UserWordsFile::UserWordsFile(std::span<const std::string> words) {
    std::string content;
    for (const auto& word : words) {
        if (fitsOneLine(word)) content.append(word).push_back('\n');
    }
    if (content.empty()) return;

    std::error_code ec;
    auto dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    std::string name = (dir / "lumascan-words-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return;
    const bool written = writeAll(fd, content);
    if (::close(fd) == 0 && written) {
        path_ = std::move(name);
    } else {
        ::unlink(name.c_str());
    }
}

UserWordsFile::~UserWordsFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
}

}  // namespace lumascan
