// Window capture: the windows that can be captured, and one window's own
// pixels through Composite (covered parts included) read by shared memory.
#include <xcb/composite.h>
#include <xcb/shm.h>

#include "image/resample.h"
#include "backends/x11/connection.h"
#include "backends/x11/pixels.h"
#include "backends/x11/shared_image.h"
#include "backends/x11/stacking.h"
#include "backends/x11/x11_platform.h"

namespace quillgate::x11 {

namespace {

constexpr const char* captureDomain = "X11CaptureErrorDomain";
namespace captureError {
constexpr int64_t gone = 1;
constexpr int64_t notViewable = 2;  // minimised, or on another desktop
constexpr int64_t unsupported = 3;  // no Composite or MIT-SHM on this server
constexpr int64_t readFailed = 4;
}  // namespace captureError

class NamedPixmap {
public:
    NamedPixmap(xcb_connection_t* c, xcb_pixmap_t pixmap) : c_(c), pixmap_(pixmap) {}
    ~NamedPixmap() { xcb_free_pixmap(c_, pixmap_); }
    NamedPixmap(const NamedPixmap&) = delete;
    NamedPixmap& operator=(const NamedPixmap&) = delete;

private:
    xcb_connection_t* c_;
    xcb_pixmap_t pixmap_;
};

}  // namespace

std::vector<ShareableWindow> X11Platform::shareableWindows() {
    std::vector<ShareableWindow> windows;
    for (const StackedWindow& window : stackedWindows(*x_, true)) windows.push_back({window.facts.id, window.facts.pid});
    return windows;
}

Image X11Platform::screenshot(uint32_t windowID, int width, int height) {
    if (!x_->composite() || !x_->shm()) throw PlatformError(captureDomain, captureError::unsupported);
    xcb_connection_t* c = x_->get();
    const xcb_window_t frame = frameWindow(*x_, windowID);
    if (!x_->answering()) throw PlatformError(captureDomain, captureError::gone);
    auto attributesCookie = xcb_get_window_attributes(c, frame);
    auto geometryCookie = xcb_get_geometry(c, frame);
    auto attributes = x_->replyTo<xcb_get_window_attributes_reply_t>(attributesCookie);
    auto geometry = x_->replyTo<xcb_get_geometry_reply_t>(geometryCookie);
    if (!attributes || !geometry) throw PlatformError(captureDomain, captureError::gone);
    // An unmapped window has no pixels to name.
    if (attributes->map_state != XCB_MAP_STATE_VIEWABLE) throw PlatformError(captureDomain, captureError::notViewable);

    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    const uint64_t unanswered = x_->unanswered();
    if (!x_->confirmed(xcb_composite_name_window_pixmap_checked(c, frame, pixmap))) {
        // A naming the server did not confirm in time may still take.
        if (x_->unanswered() != unanswered) xcb_free_pixmap(c, pixmap);
        throw PlatformError(captureDomain, captureError::notViewable);
    }
    const NamedPixmap owned(c, pixmap);

    const int w = geometry->width;
    const int h = geometry->height;
    const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
    std::lock_guard<std::mutex> lock(captureLock_);
    if (!segment_) segment_ = std::make_unique<SharedImage>(*x_);
    if (!segment_->reserve(bytes)) throw PlatformError(captureDomain, captureError::readFailed);
    auto image = x_->ask<xcb_shm_get_image_reply_t>([&] {
        return xcb_shm_get_image(c, pixmap, 0, 0, static_cast<uint16_t>(w), static_cast<uint16_t>(h), ~0U,
                                 XCB_IMAGE_FORMAT_Z_PIXMAP, segment_->segment(), 0);
    });
    if (!image) throw PlatformError(captureDomain, captureError::readFailed);
    Image picture = rgbaFromBgrx(segment_->data(), static_cast<size_t>(w) * 4, w, h, image->depth == 32);
    // The frame changed size since the caller measured it: the picture is
    // scaled to what was asked, as the screenshot service does.
    if (w != width || h != height) {
        if (width <= 0 || height <= 0) return Image();
        return image::resample(picture, width, height);
    }
    return picture;
}

}  // namespace quillgate::x11
