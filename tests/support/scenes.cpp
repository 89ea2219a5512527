#include "support/scenes.h"

#include <stdexcept>

#include "support/harness.h"

namespace quillgate::testing {

Object chatScene() {
    Value scene = parseJson(R"({
      "clock": "virtual",
      "frontmost": 501,
      "apps": [
        {"pid": 501, "name": "Chat", "bundle": "com.example.chat", "launchDate": 1765000000.25,
         "ax": {
           "AXWindows": [
             {"id": "main", "AXRole": "AXWindow", "AXSubrole": "AXStandardWindow", "AXTitle": "Chat",
              "frame": [100, 50, 900, 600]}
           ],
           "AXFocusedWindow": {"ref": "main"}
         }}
      ],
      "windows": [
        {"kCGWindowNumber": 60, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 501, "kCGWindowOwnerName": "Chat",
         "kCGWindowName": "Chat", "kCGWindowBounds": {"X": 100, "Y": 50, "Width": 900, "Height": 600},
         "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1}
      ],
      "pixels": {"60": {"fill": "#f5f5f5", "rects": [{"x": 0, "y": 0, "width": 900, "height": 56, "fill": "#e6e6e6"}]}}
    })");
    return *scene.asObject();
}

Object chatBinding() {
    return Object{{"hwnd", "60"},        {"pid", 501},    {"process", "Chat"}, {"processStart", "1765000000.25"},
                  {"title", "Chat"},     {"width", 900},  {"height", 600}};
}

Value& at(Value& value, const std::string& key) {
    Object* o = value.asObject();
    if (!o) throw std::logic_error("not an object at " + key);
    return (*o)[key];
}

Value& at(Value& value, size_t index) {
    Array* a = value.asArray();
    if (!a || index >= a->size()) throw std::logic_error("no element " + std::to_string(index));
    return (*a)[index];
}

}  // namespace quillgate::testing
