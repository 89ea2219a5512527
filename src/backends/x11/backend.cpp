#include "backends/x11/backend.h"

#include <cstdlib>
#include <stdexcept>

#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

std::optional<std::string> refusal(const Environment& environment) {
    const auto session = environment("XDG_SESSION_TYPE");
    if (environment("WAYLAND_DISPLAY") || (session && *session == "wayland")) {
        return "quillgate: this is a Wayland session; the X11 desktop cannot see native Wayland windows";
    }
    if (!environment("DISPLAY")) return "quillgate: QUILLGATE_DESKTOP=x11 needs DISPLAY to name an X display";
    return std::nullopt;
}

std::shared_ptr<Platform> makeX11Platform() {
    const Environment environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (!value || !*value) return std::nullopt;
        return std::string(value);
    };
    if (auto reason = refusal(environment)) throw std::runtime_error(*reason);
    return std::make_shared<X11Platform>(*environment("DISPLAY"));
}

}  // namespace quillgate::x11
