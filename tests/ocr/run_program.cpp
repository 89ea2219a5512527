#include "run_program.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumascan::testing {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> childEnvironment(const Invocation& run, const std::string& logPrefix) {
    std::map<std::string, std::string> vars;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto eq = text.find('=');
        if (eq != std::string::npos) vars[text.substr(0, eq)] = text.substr(eq + 1);
    }
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        vars[name] += ":log_path=" + logPrefix;
    }
    for (const auto& [name, value] : run.env) {
        if (value) {
            vars[name] = *value;
        } else {
            vars.erase(name);
        }
    }
    std::vector<std::string> flat;
    for (const auto& [name, value] : vars) flat.push_back(name + "=" + value);
    return flat;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

// Sanitizer runtimes append ".<pid>" to log_path.
std::string takeLogs(const TempDir& dir, const std::string& stem) {
    std::string logs;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        if (entry.path().filename().string().starts_with(stem)) {
            logs += readFile(entry.path().string());
            fs::remove(entry.path());
        }
    }
    return logs;
}

}  // namespace

Outcome runProgram(const std::string& program, const Invocation& run) {
    const TempDir dir;
    const std::string outPath = dir.path() + "/stdout";
    const std::string errPath = dir.path() + "/stderr";
    const std::string inPath = run.stdinFile.value_or("/dev/null");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int inputPipe[2] = {-1, -1};
    if (run.whileWaitingForInput) {
        // pipe() and FD_CLOEXEC rather than Linux's pipe2(), which macOS lacks.
        if (pipe(inputPipe) != 0) throw std::runtime_error("pipe failed");
        for (int end : inputPipe) fcntl(end, F_SETFD, FD_CLOEXEC);
        posix_spawn_file_actions_adddup2(&actions, inputPipe[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argvStrings{program};
    argvStrings.insert(argvStrings.end(), run.args.begin(), run.args.end());
    auto envStrings = childEnvironment(run, dir.path() + "/sanitizer");
    auto argv = pointers(argvStrings);
    auto envp = pointers(envStrings);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program);
    if (run.whileWaitingForInput) {
        close(inputPipe[0]);
        run.whileWaitingForInput(pid);
        close(inputPipe[1]);
    }

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    Outcome outcome;
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.sanitizerLog = takeLogs(dir, "sanitizer");
    return outcome;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumascan-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lumascan::testing
