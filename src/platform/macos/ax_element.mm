#include "platform/macos/ax_element.h"

#include <memory>

#include "platform/cf_ref.h"

namespace quillgate::macos {

namespace {

// Long enough for a busy but live chat application to answer, short enough
// that a frozen one cannot stall the request loop. On the system-wide
// element the call sets the process-wide default, to the same bound.
constexpr float messagingTimeoutSeconds = 2.0F;

class AxElement final : public ElementHandle {
public:
    explicit AxElement(AXUIElementRef owned) : ref_(owned) {}
    AXUIElementRef get() const { return ref_.get(); }

private:
    CfRef<AXUIElementRef> ref_;
};

}  // namespace

Element adoptElement(AXUIElementRef owned) {
    if (!owned) return nullptr;
    AXUIElementSetMessagingTimeout(owned, messagingTimeoutSeconds);
    return std::make_shared<const AxElement>(owned);
}

AXUIElementRef elementRef(const Element& element) {
    const auto* handle = dynamic_cast<const AxElement*>(element.get());
    return handle ? handle->get() : nullptr;
}

}  // namespace quillgate::macos
