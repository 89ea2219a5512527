#include "support/window_entries.h"

#include "support/scenes.h"

namespace quillgate::testing {

Value listedWindow(double number, double pid, const std::string& owner, Rect frame, double layer, double alpha) {
    return Object{
        {"kCGWindowNumber", number},
        {"kCGWindowLayer", layer},
        {"kCGWindowOwnerPID", pid},
        {"kCGWindowOwnerName", owner},
        {"kCGWindowName", ""},
        {"kCGWindowBounds",
         Object{{"X", frame.x}, {"Y", frame.y}, {"Width", frame.width}, {"Height", frame.height}}},
        {"kCGWindowIsOnscreen", true},
        {"kCGWindowAlpha", alpha},
    };
}

Object chatSceneWith(const std::vector<Value>& inFront) {
    Object scene = chatScene();
    Array& list = *scene["windows"].asArray();
    list.insert(list.begin(), inFront.begin(), inFront.end());
    return scene;
}

Window chatWindow() { return Window{60, 501, "Chat", "1765000000.25", "Chat", Rect{100, 50, 900, 600}, true}; }

}  // namespace quillgate::testing
