// lumascan [image]: prints the text lines recognised in one image (the file
// named by the first argument, else all of stdin) as one line of JSON on
// stdout. Whatever happens it prints exactly that one line, "[]" when there
// is nothing to report, writes nothing to stderr and exits with status 0.
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "fd_io.h"
#include "json_writer.h"
#ifndef __APPLE__
#include "openmp_limit.h"
#endif
#include "recognizer.h"
#include "vocabulary.h"

namespace {

constexpr char noLines[] = "[]";

volatile std::sig_atomic_t resultFd = STDOUT_FILENO;

// Points stdout and stderr at /dev/null so that nothing the image and OCR
// libraries print can reach the caller; returns where the result goes.
int silenceStdio() {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return STDOUT_FILENO;
    ::dup2(null, STDERR_FILENO);
    const int out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (out >= 0) ::dup2(null, STDOUT_FILENO);
    // When the caller started us with stdout or stderr closed, /dev/null
    // got that number and must stay open, or a file opened later would.
    if (null > STDERR_FILENO) ::close(null);
    return out >= 0 ? out : STDOUT_FILENO;
}

// Tesseract stops on a failed internal check with abort(); for the caller
// that is an image without recognisable text, not a crash.
extern "C" void answerNoLines(int) {
    static constexpr char answer[] = "[]\n";
    [[maybe_unused]] const auto ignored = ::write(resultFd, answer, sizeof answer - 1);
    ::_exit(0);
}

std::optional<std::vector<std::byte>> readFile(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    auto data = lumascan::readAll(fd);
    ::close(fd);
    return data;
}

std::string recognise(int argc, char** argv) {
    const auto image = argc > 1 ? readFile(argv[1]) : lumascan::readAll(STDIN_FILENO);
    if (!image || image->empty()) return noLines;
    const auto engine =
        lumascan::makeRecognizer(lumascan::parseVocabulary(std::getenv("VESKOR_OCR_WORDS")));
    return lumascan::toJson(engine->recognize(*image)).value_or(noLines);
}

}  // namespace

int main(int argc, char** argv) {
#ifndef __APPLE__
    lumascan::limitOpenMpThreads(argv);  // Tesseract's OpenMP runtime; Vision has none
#endif
    std::signal(SIGPIPE, SIG_IGN);
    resultFd = silenceStdio();
    std::signal(SIGABRT, answerNoLines);

    std::string json;
    try {
        json = recognise(argc, argv);
    } catch (...) {
        json = noLines;
    }
    json.push_back('\n');
    lumascan::writeAll(resultFd, json);
    return 0;
}
