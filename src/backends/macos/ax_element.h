#pragma once
// The port's Element on macOS: a handle around one retained AXUIElementRef,
// released by the handle's destructor, so an element lives exactly as long
// as the request's values that hold it.

#include <ApplicationServices/ApplicationServices.h>

#include <functional>

#include "platform/value.h"

namespace quillgate::macos {

// Wraps an element the caller owns (+1). Every element handed to the core
// passes here and gets the bounded messaging timeout for its reads, so a
// frozen application fails a read after that time (kAXErrorCannotComplete)
// instead of hanging the request. Null gives an empty Element.
Element adoptElement(AXUIElementRef owned);

// The same for the system-wide element, whose timeout is the process-wide
// one; it is left at the system's default, which every command relies on.
Element adoptSystemWideElement(AXUIElementRef owned);

// The element behind a handle; null for an empty handle. The handle keeps
// owning it.
AXUIElementRef elementRef(const Element& element);

// Runs a command on the element (an action or an attribute change) under the
// system's default messaging timeout rather than the bounded one of reads.
// An application whose handler runs a modal loop answers a command late:
// under a short timeout a press that happened would read as failed, and be
// pressed again. The bounded timeout is back for the element's reads after.
AXError underDefaultTimeout(const Element& element, const std::function<AXError(AXUIElementRef)>& command);

}  // namespace quillgate::macos
