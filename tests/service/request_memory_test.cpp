// The memory a request needs, measured on the built program: the peak
// resident size of a child that answers one line of the full size, beyond
// that of one that answers a small line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace quillgate {
namespace {

// The child's peak resident bytes after it answered `line` on its stdin.
long peakBytesAnswering(const std::string& line) {
    char path[] = "/tmp/quillgate-line-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return -1;
    std::ofstream(path) << line << "\n";
    const pid_t child = fork();
    if (child == 0) {
        dup2(fd, STDIN_FILENO);
        lseek(STDIN_FILENO, 0, SEEK_SET);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execl(QUILLGATE_PROGRAM, QUILLGATE_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fd);
    int status = 0;
    rusage usage{};
    const bool waited = wait4(child, &status, 0, &usage) == child;
    std::remove(path);
    if (!waited || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
#ifdef __APPLE__
    return usage.ru_maxrss;  // bytes on macOS
#else
    return usage.ru_maxrss * 1024L;  // kilobytes on Linux
#endif
}

TEST(RequestMemory, ALineOfElevenMillionNumbersNeedsAtMostFourTimesItsLength) {
    // The largest request of the line limit has a structure for every two
    // bytes; nobody reads this member, but the line must still be checked.
    std::string line = R"({"op":"list","pad":[1)";
    line.reserve(22'000'100);
    while (line.size() < 22'000'000) line += ",1";
    line += "]}";
    // What the request needs beyond what the program holds anyway, which
    // sanitizers make tens of megabytes.
    const long idle = peakBytesAnswering(R"({"op":"list"})");
    const long peak = peakBytesAnswering(line);
    ASSERT_GT(idle, 0) << "the program did not answer";
    ASSERT_GT(peak, 0) << "the program did not answer";
    EXPECT_LE(peak - idle, 4 * static_cast<long>(line.size()))
        << "peak " << peak / (1 << 20) << " MiB, idle " << idle / (1 << 20) << " MiB";
}

}  // namespace
}  // namespace quillgate
