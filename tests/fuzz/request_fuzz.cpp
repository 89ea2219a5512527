// Feeds arbitrary request lines to the request service and checks that every
// line is answered by exactly one well-formed response line.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "json/reader.h"
#include "platform/sim/desktop.h"
#include "service/main.h"

namespace {

// The chat window, a popup and a fast clock, so operations that wait stay quick.
constexpr const char* scene = R"({
  "timeScale": 0.0005, "frontmost": 501,
  "apps": [{"pid": 501, "name": "Chat", "bundle": "com.example.chat", "launchDate": 1765000000.25,
            "ax": {"AXWindows": [{"id": "main", "AXRole": "AXWindow", "AXTitle": "Chat", "frame": [100, 50, 900, 600]}],
                   "AXFocusedWindow": {"ref": "main"}}}],
  "windows": [{"kCGWindowNumber": 60, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 501, "kCGWindowOwnerName": "Chat",
               "kCGWindowName": "Chat", "kCGWindowBounds": {"X": 100, "Y": 50, "Width": 900, "Height": 600},
               "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1}]
})";

quillgate::Main& service() {
    static auto* main = new quillgate::Main(quillgate::sim::Desktop::fromText(scene));
    return *main;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A line never holds its terminator.
    const void* nl = std::memchr(data, '\n', size);
    if (nl) size = static_cast<size_t>(static_cast<const uint8_t*>(nl) - data);
    std::string padded(reinterpret_cast<const char*>(data), size);
    padded.append(quillgate::json::Reader::paddingBytes(), '\0');
    std::string response = service().respond(padded.data(), size);

    if (response.find('\n') != std::string::npos) std::abort();
    static quillgate::json::Reader reader;
    auto parsed = reader.parse(response);
    if (!parsed || !parsed->isObject()) std::abort();
    const quillgate::Value* ok = parsed->find("ok");
    if (!ok || !ok->isBool()) std::abort();
    const quillgate::Value* error = parsed->find("error");
    if (!*ok->asBool() && (parsed->asObject()->size() != 2 || !error || !error->isString())) std::abort();
    return 0;
}
