// Feeds arbitrary request lines to the request service and checks that every
// line is answered by exactly one well-formed response line.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "json/reader.h"
#include "backends/sim/sim_platform.h"
#include "service/request_service.h"

namespace {

// A chat window with a header strip, a composer and messages, a dialog
// over it, and a fast clock so operations that wait stay quick. The seed
// corpus (make_corpus.py) binds this window with a guard on its header, so
// guarded requests pass the guard and reach their operations.
constexpr const char* scene = R"({
  "timeScale": 0.0005, "frontmost": 501,
  "apps": [{"pid": 501, "name": "Chat", "bundle": "com.example.chat", "launchDate": 1765000000.25,
            "ax": {"AXWindows": [
                     {"id": "main", "AXRole": "AXWindow", "AXTitle": "Chat", "frame": [100, 50, 300, 200],
                      "children": [
                        {"AXRole": "AXStaticText", "AXValue": "Alice", "frame": [110, 55, 100, 16]},
                        {"AXRole": "AXStaticText", "AXValue": "hello there", "frame": [120, 100, 150, 16]},
                        {"AXRole": "AXTextArea", "AXValue": "draft", "frame": [110, 200, 280, 40]}]},
                     {"id": "dialog", "AXRole": "AXWindow", "AXSubrole": "AXDialog", "AXTitle": "",
                      "frame": [220, 90, 160, 150],
                      "children": [
                        {"AXRole": "AXStaticText", "AXValue": "Delete this chat?", "frame": [230, 100, 140, 16]},
                        {"id": "ok", "AXRole": "AXButton", "AXTitle": "OK", "frame": [300, 200, 60, 24]}]}],
                   "AXFocusedWindow": {"ref": "main"}}}],
  "windows": [{"kCGWindowNumber": 61, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 501, "kCGWindowOwnerName": "Chat",
               "kCGWindowName": "", "kCGWindowBounds": {"X": 220, "Y": 90, "Width": 160, "Height": 150},
               "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1},
              {"kCGWindowNumber": 60, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 501, "kCGWindowOwnerName": "Chat",
               "kCGWindowName": "Chat", "kCGWindowBounds": {"X": 100, "Y": 50, "Width": 300, "Height": 200},
               "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1}],
  "pixels": {"60": {"fill": "#f5f5f5", "rects": [{"x": 0, "y": 0, "width": 300, "height": 24, "fill": "#e6e6e6"},
                                                 {"x": 20, "y": 50, "width": 150, "height": 20, "fill": "#ffffff"}]}}
})";

const std::shared_ptr<quillgate::sim::SimPlatform>& desktop() {
    static auto* platform = new std::shared_ptr(quillgate::sim::SimPlatform::fromText(scene));
    return *platform;
}

quillgate::RequestService& service() {
    static auto* main = new quillgate::RequestService(desktop());
    return *main;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A line never holds its terminator.
    const void* nl = std::memchr(data, '\n', size);
    if (nl) size = static_cast<size_t>(static_cast<const uint8_t*>(nl) - data);
    std::string response = service().respond(reinterpret_cast<const char*>(data), size);
    // A screenshot whose timer won may still be at work with its picture;
    // the leak check after this input must not find it half done.
    desktop()->waitForHelpers();

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
