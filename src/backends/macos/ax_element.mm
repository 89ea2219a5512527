#include "backends/macos/ax_element.h"

#include <memory>

#include "platform/cf_ref.h"

namespace quillgate::macos {

namespace {

// Long enough for a busy but live chat application to answer a read, short
// enough that a frozen one cannot stall the request loop.
constexpr float readTimeoutSeconds = 2.0F;
// On an element other than the system-wide one: follow the process-wide
// timeout, which this program never changes from the system's default.
constexpr float processWideTimeout = 0.0F;

class AxElement final : public ElementHandle {
public:
    AxElement(AXUIElementRef owned, bool systemWide) : ref_(owned), systemWide_(systemWide) {}
    AXUIElementRef get() const { return ref_.get(); }
    // Its timeout is the whole process's, so it is never set through it.
    bool systemWide() const { return systemWide_; }

private:
    CfRef<AXUIElementRef> ref_;
    bool systemWide_;
};

const AxElement* handleOf(const Element& element) { return dynamic_cast<const AxElement*>(element.get()); }

}  // namespace

Element adoptElement(AXUIElementRef owned) {
    if (!owned) return nullptr;
    AXUIElementSetMessagingTimeout(owned, readTimeoutSeconds);
    return std::make_shared<const AxElement>(owned, false);
}

Element adoptSystemWideElement(AXUIElementRef owned) {
    if (!owned) return nullptr;
    return std::make_shared<const AxElement>(owned, true);
}

AXUIElementRef elementRef(const Element& element) {
    const AxElement* handle = handleOf(element);
    return handle ? handle->get() : nullptr;
}

AXError underDefaultTimeout(const Element& element, const std::function<AXError(AXUIElementRef)>& command) {
    const AxElement* handle = handleOf(element);
    if (!handle || handle->systemWide()) return command(elementRef(element));
    AXUIElementSetMessagingTimeout(handle->get(), processWideTimeout);
    const AXError status = command(handle->get());
    AXUIElementSetMessagingTimeout(handle->get(), readTimeoutSeconds);
    return status;
}

}  // namespace quillgate::macos
