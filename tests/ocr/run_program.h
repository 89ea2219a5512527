#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumascan::testing {

struct Outcome {
    std::string out;
    std::string err;
    int exitCode = -1;   // -1 when the program did not exit normally
    int signal = 0;       // the signal that ended it, if one did
    // What a sanitizer runtime reported: the program under test silences
    // stderr, so reports are sent to files and gathered here.
    std::string sanitizerLog;
};

struct Invocation {
    std::vector<std::string> args{};  // without the program itself
    std::optional<std::string> stdinFile{};  // else stdin is /dev/null
    // Variables to set (value) or remove (nullopt) in the child only.
    std::vector<std::pair<std::string, std::optional<std::string>>> env{};
    // When set, stdin is instead a pipe that stays open, so the program
    // waits for input, until this returns; it gets the program's pid.
    std::function<void(int pid)> whileWaitingForInput{};
};

// Runs `program` to completion with stdout and stderr captured.
Outcome runProgram(const std::string& program, const Invocation& run);

// A private directory, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes `content` to a file in the directory and returns its path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);

}  // namespace lumascan::testing
