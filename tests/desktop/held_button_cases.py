"""A mouse button held by someone else: another application's drag in progress refuses pointer input."""
import subprocess
import time

from driver import x11_case, centre, equal, expect, fraction

# Another application's window beside the chat window, where its drag begins.
DRAGGED = (1020, 100, 240, 160)
BUTTON_HELD = "mouse button held down; action cancelled; buttons="


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def click(app, widget, button="left", count=1):
    return dict(fraction(app.frame, centre(app.widgets[widget])), kind="click", button=button, count=count)


@x11_case
def click_during_another_applications_drag_is_refused(desk):
    app, bound = desk.bound_chat()
    # It never takes the focus, so the chat window keeps it through the drag.
    other = desk.cover(DRAGGED, no_focus=True)
    start = centre(other.widgets["cover"])
    for x11_button, held, button in ((1, "0", "left"), (3, "1", "right")):
        since = time.monotonic()
        xdotool("mousemove", start[0], start[1], "mousedown", x11_button)
        other.wait("press", since, button=x11_button)
        for _ in range(2):
            error = desk.quillgate.refused("execute", bound=bound, action=click(app, "send", button=button))
            equal(error, BUTTON_HELD + held, "click during the drag")
        equal(desk.quillgate.ok("input-idle").get("heldButtons"), [int(held)], "held buttons during the drag")
        for kind in (dict(kind="move"), dict(kind="scroll", amount=1, direction="down")):
            action = dict(fraction(app.frame, centre(app.widgets["messages"])), **kind)
            equal(desk.quillgate.refused("execute", bound=bound, action=action), BUTTON_HELD + held, kind["kind"])
        equal(app.input_events(since), [], "input reaching the chat window")
        equal([r["what"] for r in other.input_events(since)], ["press"], "input reaching the dragging application")
        xdotool("mouseup", x11_button)
        other.wait("release", since, button=x11_button)
        # No button is left down once the drag has ended.
        equal(desk.quillgate.ok("input-idle").get("heldButtons"), [], "held buttons after the drag")
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action=click(app, "send"))
    app.wait("clicked", since, widget="send")
    equal(desk.quillgate.ok("input-idle")["heldButtons"], [], "held buttons after a click")
