#include "cli/information.h"

#include <cstdio>

namespace quillgate {

namespace {

std::string helpText() {
    return "usage: quillgate [--server]\n"
           "       quillgate --permission-status | --request-screen-permission |\n"
           "                 --request-accessibility-permission\n"
           "       quillgate --doctor [--json]\n"
           "       quillgate --record-scene DIR [--redact]\n"
           "       quillgate --help | --version\n"
           "\n"
           "Modes:\n"
           "  (no arguments)                      answer one JSON request line from standard input\n"
           "  --server                            answer JSON request lines until end of input\n"
           "  --permission-status                 print the screen-recording and accessibility grants\n"
           "  --request-screen-permission         ask the system for screen recording\n"
           "  --request-accessibility-permission  ask the system for accessibility\n"
           "  --doctor                            check this machine and say what to fix (--json: as JSON);\n"
           "                                      reads only: posts no input, shows no prompt\n"
           "  --record-scene DIR                  write the live desktop as a scene for QUILLGATE_SCENE:\n"
           "                                      DIR/scene.json and the windows' pictures; reads only\n"
           "  --record-scene DIR --redact         the same with every text and title replaced by x's\n"
           "                                      of the same length and blank pictures, for sharing\n"
           "  --help                              print this text\n"
           "  --version                           print the version and the desktop backends\n"
           "Each mode but --server counts only as the one and only argument (--doctor --json\n"
           "as the only two, --record-scene with its folder and --redact as the only ones).\n"
           "\n"
           "Environment:\n"
           "  QUILLGATE_SCENE    simulated desktop: the scene file (default: the built-in demo scene)\n"
           "  QUILLGATE_SIM_LOG  simulated desktop: append the event log to this file\n"
           "  QUILLGATE_DESKTOP  x11: drive the X11 desktop of DISPLAY instead of the simulated one\n"
           "                     (Linux builds)\n"
           "  QUILLGATE_TRACE    append one line per request to this file: where its time went\n"
           "\n"
           "Docs, in the source tree: README.md, docs/protocol.md (requests and responses),\n"
           "docs/protocol.schema.json (the same as JSON Schema), docs/scene-format.md (scenes).\n";
}

std::string versionText() {
    return "quillgate " QUILLGATE_VERSION "\n"
           "backends: " QUILLGATE_BACKENDS "\n";
}

}  // namespace

std::optional<int> answerInformation(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) return std::nullopt;
    std::string text;
    if (arguments[1] == "--help") text = helpText();
    else if (arguments[1] == "--version") text = versionText();
    else return std::nullopt;
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quillgate
