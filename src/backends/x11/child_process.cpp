// Child processes: the screenshot tool, started with its standard streams on
// the null device and polled by the caller.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "backends/x11/capture_tool.h"
#include "backends/x11/connection.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

extern char** environ;

namespace quillgate::x11 {

namespace {

constexpr const char* launchDomain = "NSPOSIXErrorDomain";

class SpawnedProcess final : public ChildProcess {
public:
    explicit SpawnedProcess(pid_t pid) : pid_(pid) {}

    ~SpawnedProcess() override {
        if (reaped_ || reap(WNOHANG)) return;
        // Still running: someone must collect it when it ends.
        std::thread([pid = pid_] { waitpid(pid, nullptr, 0); }).detach();
    }

    bool running() override { return !reaped_ && !reap(WNOHANG); }

    void terminate() override {
        if (!reaped_) kill(pid_, SIGTERM);
    }

private:
    bool reap(int options) {
        const pid_t done = waitpid(pid_, nullptr, options);
        if (done == pid_ || (done < 0 && errno == ECHILD)) reaped_ = true;
        return reaped_;
    }

    pid_t pid_;
    bool reaped_ = false;
};

Command translated(const Connection& x, const std::string& executable, const std::vector<std::string>& arguments) {
    if (executable != macScreenshotTool) return Command{executable, arguments};
    const auto request = toolRequest(arguments);
    if (!request) throw PlatformError(launchDomain, EINVAL);
    return importCommand(frameWindow(x, request->window), request->path);
}

}  // namespace

std::unique_ptr<ChildProcess> X11Platform::launch(const std::string& executable,
                                                  const std::vector<std::string>& arguments) {
    const Command command = translated(*x_, executable, arguments);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(command.executable.c_str()));
    for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, command.executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw PlatformError(launchDomain, error);
    return std::make_unique<SpawnedProcess>(pid);
}

}  // namespace quillgate::x11
