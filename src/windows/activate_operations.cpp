#include "windows/activate_operations.h"

#include <cmath>

#include "core/failure.h"
#include "core/trace.h"
#include "windows/accessibility.h"
#include "windows/pointer.h"
#include "windows/verification.h"

namespace quillgate {

namespace {

// The user must have left keyboard and pointer alone this long: the window
// is never pulled forward under the user's hands.
constexpr double userQuietMs = 1200;
// Pauses for the window server to settle after activating and after raising.
constexpr double afterActivate = 0.12;
constexpr double afterRaise = 0.18;

// The binding against the listed window, before anything is changed.
void requireSameWindow(const Binding& bound, const Window& w) {
    requireSameProcess(bound, w);
    if (!sameTitle(bound, w) || !sameSize(bound, w)) reject(msg::identityOrSizeChanged);
}

}  // namespace

Object activateOperation(const BoundCall& call) {
    Platform& p = call.platform();
    const Binding& bound = call.bound;
    const std::string& hwnd = bound.hwnd;

    permissions(p);
    const Window w = selected(p, hwnd);
    requireSameWindow(bound, w);
    if (!(idle(p) >= userQuietMs)) reject(msg::lostFocus);

    if (!p.runningApplication(w.pid)) reject(msg::activateFailed);
    if (!w.visible) p.unhide(w.pid);
    if (!p.activate(w.pid)) reject(msg::activateFailed);
    pause(p, afterActivate, Wait::activation);
    // Activation is cooperative: while another application (the host) is
    // active the system may not grant it. The application's own element can
    // still be asked to come forward.
    if (auto front = p.frontmostApplication(); !front || front->pid != w.pid)
        p.setAttribute(p.applicationElement(w.pid), "AXFrontmost", true);

    const Window raised = selected(p, hwnd);
    const Element e = element(p, raised);
    if (!raised.visible) p.setAttribute(e, "AXMinimized", false);
    // A raise the application has not confirmed in time was still delivered.
    if (actionOutcome(p.performAction(e, "AXRaise")) == ActionOutcome::failed) reject(msg::activateFailed);
    pause(p, afterRaise, Wait::raise);

    return Object{{"identity", current(p, bound, false).identity()}};
}

}  // namespace quillgate
