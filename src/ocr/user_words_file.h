#pragma once

#include <span>
#include <string>

namespace lumascan {

// A temporary file listing custom words one per line, the form in which
// Tesseract takes extra vocabulary. The file is removed on destruction.
class UserWordsFile {
public:
    // Words that cannot be one line of the file (empty, or holding a line
    // break or NUL) are left out. No file is made when no word is left or
    // the file cannot be written.
    explicit UserWordsFile(std::span<const std::string> words);
    ~UserWordsFile();
    UserWordsFile(const UserWordsFile&) = delete;
    UserWordsFile& operator=(const UserWordsFile&) = delete;

    // Empty when there is no file.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace lumascan
