#pragma once
// Toolkits that scale their windows (GDK_SCALE, QT_SCALE_FACTOR) give their
// accessibility extents in their own logical pixels while X gives device
// pixels. The ratio of an application's window frame on X to the same
// window's accessibility extents converts one into the other; it is found
// once per application (its bus name) and kept.

#include <map>
#include <optional>
#include <string>

#include "platform/value.h"

// libatspi's accessible, named without its headers (the ratio is tested without them).
typedef struct _AtspiAccessible AtspiAccessible;

namespace quillgate::x11 {

class Connection;

class ExtentScale {
public:
    // Device pixels per accessibility pixel for the application of an
    // accessible; 1 until one of its windows is found on both sides.
    double of(const Connection& x, AtspiAccessible* accessible);

private:
    std::map<std::string, double> byApplication_;
};

// An element's screen extents in device pixels; absent when unknown.
std::optional<Rect> scaledExtents(AtspiAccessible* accessible, double scale);

// The ratio of a frame on X to its accessibility extents, whole when it is
// within rounding of a whole number; absent when the two are not the same
// window (width, height and origin do not scale alike).
std::optional<double> frameRatio(const Rect& frame, const Rect& extents);

}  // namespace quillgate::x11
