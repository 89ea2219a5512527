#pragma once
// A request pipe for the benchmarks.

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>
#include <thread>

// The service's standard input: a pipe enlarged as the service enlarges it,
// fed by a thread that writes the line `lines` times (or until stopped) and
// then closes its end.
class FedPipe {
public:
    FedPipe(const std::string& line, int64_t lines) {
        if (pipe(fds_) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
#ifdef F_SETPIPE_SZ
        fcntl(fds_[0], F_SETPIPE_SZ, 1 << 20);
#endif
        writer_ = std::thread([this, &line, lines] {
            for (int64_t i = 0; i < lines && !stop_; ++i)
                for (size_t done = 0; done < line.size();) {
                    const ssize_t n = write(fds_[1], line.data() + done, line.size() - done);
                    if (n <= 0) break;
                    done += static_cast<size_t>(n);
                }
            close(fds_[1]);
        });
    }
    // The reader must read to the end of input before the pipe goes away.
    ~FedPipe() {
        writer_.join();
        close(fds_[0]);
    }
    int fd() const { return fds_[0]; }
    void stop() { stop_ = true; }

private:
    int fds_[2];
    std::atomic<bool> stop_{false};
    std::thread writer_;
};
