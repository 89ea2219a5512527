#pragma once
// The last proof before an event is posted, as close to the event as the
// desktop allows. The bound window is verified in full, accessibility and
// the session included; then the desktop is held, so that no window can
// appear, move or take the focus, and the window server's part of the proof
// is read once more before the event goes out, still held. A window that
// appears during a request either is seen by that last read or appears
// after the event has arrived.

#include <functional>

#include "core/operation.h"

namespace quillgate {

// Runs `post` (which posts key events) once the bound window is proven to
// hold the keyboard focus. Refuses as current() with focus does.
void postProven(const GatedCall& call, const std::function<void()>& post);

// Runs `post` (which posts pointer events at `point`) once the bound window
// is proven focused and unmoved and nothing covers the point. Refuses with
// "selected window moved", a lost focus, or the covered-target refusal with
// its occluder.
void postAtTarget(const GatedCall& call, Point point, bool popupOk, const std::function<void()>& post);

}  // namespace quillgate
