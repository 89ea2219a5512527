#pragma once
// The port's Element on macOS: a handle around one retained AXUIElementRef,
// released by the handle's destructor, so an element lives exactly as long
// as the request's values that hold it.

#include <ApplicationServices/ApplicationServices.h>

#include "platform/value.h"

namespace quillgate::macos {

// Wraps an element the caller owns (+1). Every element handed to the core
// passes here and gets the bounded messaging timeout, so a frozen
// application fails a read after that time (kAXErrorCannotComplete) instead
// of hanging the request. Null gives an empty Element.
Element adoptElement(AXUIElementRef owned);

// The element behind a handle; null for an empty handle. The handle keeps
// owning it.
AXUIElementRef elementRef(const Element& element);

}  // namespace quillgate::macos
