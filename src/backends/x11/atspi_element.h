#pragma once
// The port's Element here: a reference to one AT-SPI accessible, released
// by the handle's destructor, or the system-wide element (no accessible).
// An application element keeps the pid it was made for, so that one made
// for an application not (yet) on the bus still answers its pid.

#include <atspi/atspi.h>

#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillgate::x11 {

enum class ElementKind { systemWide, application, node };

class AtspiElement final : public ElementHandle {
public:
    AtspiElement(ElementKind kind, AtspiAccessible* owned, std::optional<int32_t> pid)
        : kind(kind), accessible(owned), pid(pid) {}
    ~AtspiElement() override {
        if (accessible) g_object_unref(accessible);
    }
    AtspiElement(const AtspiElement&) = delete;
    AtspiElement& operator=(const AtspiElement&) = delete;

    const ElementKind kind;
    AtspiAccessible* const accessible;  // null: system-wide, or an application not on the bus
    const std::optional<int32_t> pid;
};

// The handle behind an Element; null for an empty or foreign one.
const AtspiElement* atspiElement(const Element& element);

// Wraps an accessible the caller owns (a new reference); null gives an empty
// Element. The application's root becomes an application element.
Element adoptAccessible(AtspiAccessible* owned);

// The same element as a new handle.
Element shareAccessible(AtspiAccessible* accessible);

// AT-SPI's answer as the port's status: a failed or timed-out call
// (a frozen application) cannot complete.
int32_t axStatus(GError* error);

// The text a libatspi call returned, both it and the call's error freed;
// absent when the call failed.
std::optional<std::string> answeredText(gchar* text, GError* error);

}  // namespace quillgate::x11
