#include <cstdio>
#include <exception>

#include "cli/information.h"
#include "platform/backend.h"
#include "service/main.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    if (auto status = quillgate::answerInformation(arguments)) return *status;
    std::shared_ptr<quillgate::Platform> platform;
    try {
        platform = quillgate::makePlatform();
    } catch (const std::exception& e) {
        // The platform could not start (a simulated desktop's unreadable
        // scene): the one thing ever written to standard error.
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    quillgate::Main program(std::move(platform));
    return program.main(arguments);
}
