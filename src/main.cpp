#include <csignal>
#include <cstdio>
#include <exception>

#include "cli/information.h"
#include "doctor/doctor.h"
#include "platform/backend.h"
#include "recorder/recorder.h"
#include "service/request_service.h"

int main(int argc, char** argv) {
    namespace doctor = quillgate::doctor;
    std::vector<std::string> arguments(argv, argv + argc);
    if (auto status = quillgate::answerInformation(arguments)) return *status;
    const auto doctorFormat = doctor::requested(arguments);
    const auto recording = quillgate::recorder::requested(arguments);
    std::shared_ptr<quillgate::Platform> platform;
    try {
        platform = quillgate::makePlatform();
    } catch (const std::exception& e) {
        if (doctorFormat) return doctor::report(doctor::desktopUnavailable(e.what()), *doctorFormat);
        // The platform could not start (a simulated desktop's unreadable
        // scene): the one thing ever written to standard error.
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    if (doctorFormat) {
        // A reader that went away fails the report's write, as it fails the
        // server's, instead of killing the process.
        std::signal(SIGPIPE, SIG_IGN);
        return doctor::report(doctor::examine(std::move(platform)), *doctorFormat);
    }
    if (recording) return quillgate::recorder::run(std::move(platform), *recording);
    quillgate::RequestService program(std::move(platform));
    return program.main(arguments);
}
