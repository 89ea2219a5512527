#include "backends/x11/ax_scale.h"

#include <atspi/atspi.h>

#include <cmath>

#include "backends/x11/ax_reading.h"
#include "backends/x11/stacking.h"

namespace quillgate::x11 {

namespace {

// Logical extents are whole pixels: a frame of w device pixels may be
// reported a pixel wider or narrower at any scale.
constexpr double wholeTolerance = 0.02;
// Width and height must agree on the ratio this closely.
constexpr double axisTolerance = 0.05;
// Logical pixels are rounded: the origin may be this far off, in them.
constexpr double originTolerance = 2;

std::optional<std::string> busName(AtspiAccessible* application) {
    const auto* object = ATSPI_OBJECT(application);
    if (!object->app || !object->app->bus_name) return std::nullopt;
    return std::string(object->app->bus_name);
}

}  // namespace

std::optional<double> frameRatio(const Rect& frame, const Rect& extents) {
    if (!(extents.width >= 1 && extents.height >= 1 && frame.width >= 1 && frame.height >= 1)) return std::nullopt;
    const double across = frame.width / extents.width;
    const double down = frame.height / extents.height;
    if (std::fabs(across - down) > axisTolerance * across) return std::nullopt;
    const double whole = std::round(across);
    const double ratio = std::fabs(across - whole) < wholeTolerance * whole ? whole : across;
    // The same window: its origin scales as its size does.
    if (std::fabs(frame.x - extents.x * ratio) > originTolerance * ratio ||
        std::fabs(frame.y - extents.y * ratio) > originTolerance * ratio) {
        return std::nullopt;
    }
    return ratio;
}

double ExtentScale::of(const Connection& x, AtspiAccessible* accessible) {
    GError* error = nullptr;
    Owned<AtspiAccessible> application(atspi_accessible_get_application(accessible, &error));
    if (error) g_error_free(error);
    if (!application) return 1;
    const auto bus = busName(application.get());
    if (!bus) return 1;
    if (auto known = byApplication_.find(*bus); known != byApplication_.end()) return known->second;

    const guint pid = atspi_accessible_get_process_id(application.get(), &error);
    if (error) {
        g_error_free(error);
        return 1;
    }
    const auto all = windows(application.get());
    if (!all) return 1;
    const std::vector<StackedWindow> listed = stackedWindows(x, true);
    for (const auto& window : *all) {
        const auto rect = extents(window.get());
        const auto title = name(window.get());
        // Untitled windows (menus, tooltips) are too alike to match.
        if (!rect || !title || title->empty()) continue;
        for (const StackedWindow& candidate : listed) {
            if (candidate.facts.pid != static_cast<int32_t>(pid) || candidate.facts.title != title) continue;
            if (auto ratio = frameRatio(frameOf(candidate.facts.client, candidate.facts.extents), *rect)) {
                byApplication_.emplace(*bus, *ratio);
                return *ratio;
            }
        }
    }
    return 1;
}

std::optional<Rect> scaledExtents(AtspiAccessible* accessible, double scale) {
    auto rect = extents(accessible);
    if (!rect) return std::nullopt;
    return Rect{rect->x * scale, rect->y * scale, rect->width * scale, rect->height * scale};
}

}  // namespace quillgate::x11
