#pragma once
// Every picture of the bound window comes from capture(): the screenshot
// service raced against a timer, the screenshot tool when the service is
// slow, hung behind the permission prompt, declined or failing. Whatever the
// path, the picture is the window's frame size in whole points, one pixel
// per point: region hashes and reference pictures rely on it.

#include <functional>

#include "capture/pending_capture.h"
#include "capture/prompt.h"
#include "core/context.h"
#include "core/failure.h"
#include "platform/image.h"
#include "windows/window.h"

namespace quillgate {

struct PixelSize {
    int width = 0;
    int height = 0;
};

// A frame's width and height truncated to whole points (0 when below one).
PixelSize pixelSize(const Rect& frame);

// Whether the screenshot service may be asked now: no screenshot started
// earlier is still outstanding, and the service has not timed out or
// declined within the back-off period. Otherwise capture() goes straight to
// the tool, and a recording takes no picture.
bool serviceAvailable(Context& context);
// Leaves the service alone for the back-off period, after it timed out or
// declined.
void backOffService(Context& context);

// The window's picture. Refuses with the capture and permission messages;
// a tool that cannot be launched passes its platform error on.
Image capture(Context& context, const Window& window);

// One screenshot by the service raced against its 3-second time limit:
// throws CaptureTimeout when it has not answered by then (it may still
// answer later; its count among the outstanding ones ends when it does).
Image raceSCK(Context& context, const Window& window);

// One screenshot of the window by the service, which must list the window
// under its owning process and answer at exactly the window's size.
Image captureSCK(Platform& platform, const Window& window);

// A screenshot (shot) raced against the 3-second timer: shot runs on a thread
// of its own and is counted among the outstanding screenshots until it
// returns, which may be long after this call has answered; a late result is
// dropped when the thread ends, so shot must own everything it touches.
// Returns shot's picture or rethrows its error, or throws CaptureTimeout
// when the timer wins.
Image race(Context& context, std::function<Image()> shot);

}  // namespace quillgate
