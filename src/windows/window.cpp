#include "windows/window.h"

#include <cmath>

#include "json/writer.h"

namespace quillgate {

Object Window::identity() const {
    return Object{
        {"hwnd", std::to_string(id)},
        {"pid", pid},
        {"process", process},
        {"processStart", started},
        {"title", title},
        {"width", std::trunc(rect.width)},
        {"height", std::trunc(rect.height)},
        {"minimized", !visible},
    };
}

Object Window::companion() const {
    return Object{
        {"id", std::to_string(id)},
        {"pid", pid},
        {"process", process},
        {"started", started},
        {"title", title},
        {"minimized", !visible},
        {"rect", Object{{"x", rect.x}, {"y", rect.y}, {"width", rect.width}, {"height", rect.height}}},
    };
}

std::string startedText(double secondsSince1970) {
    if (!std::isfinite(secondsSince1970)) return {};
    return json::decimal(secondsSince1970, true);
}

}  // namespace quillgate
