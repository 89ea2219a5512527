#include "windows/accessibility.h"

#include <cmath>

#include "core/failure.h"

namespace quillgate {

std::optional<Value> ax(Platform& platform, const Element& element, const std::string& attribute) {
    AxResult result = platform.copyAttribute(element, attribute);
    if (!result.ok()) return std::nullopt;
    return std::move(result.value);
}

std::string axString(Platform& platform, const Element& element, const std::string& attribute) {
    return axText(platform, element, attribute).value_or(std::string());
}

std::optional<std::string> axText(Platform& platform, const Element& element, const std::string& attribute) {
    auto value = ax(platform, element, attribute);
    const std::string* s = value ? value->asString() : nullptr;
    if (!s) return std::nullopt;
    return *s;
}

std::optional<Element> axElement(Platform& platform, const Element& element, const std::string& attribute) {
    auto value = ax(platform, element, attribute);
    const Element* e = value ? value->asElement() : nullptr;
    if (!e) return std::nullopt;
    return *e;
}

ActionOutcome actionOutcome(int32_t status) {
    if (status == axstatus::success) return ActionOutcome::done;
    if (status == axstatus::cannotComplete) return ActionOutcome::unconfirmed;
    return ActionOutcome::failed;
}

std::optional<Rect> axRect(Platform& platform, const Element& element) {
    auto position = ax(platform, element, "AXPosition");
    if (!position) return std::nullopt;
    auto size = ax(platform, element, "AXSize");
    if (!size) return std::nullopt;
    const Point* p = position->asPoint();
    const Size* s = size->asSize();
    if (!p || !s) return std::nullopt;
    return Rect{p->x, p->y, s->width, s->height};
}

bool near(const Rect& a, const Rect& b) {
    // Written as "< 1" so that a NaN difference is never near.
    return std::fabs(a.x - b.x) < 1 && std::fabs(a.y - b.y) < 1 && std::fabs(a.width - b.width) < 1 &&
           std::fabs(a.height - b.height) < 1;
}

void requireStableRect(const Rect& a, const Rect& b) {
    if (!near(a, b)) reject(msg::moved);
}

}  // namespace quillgate
