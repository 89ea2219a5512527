"""Trials of a window that appears while an "execute" request is under way:
another application's window is mapped at a random moment from 2 ms after
the request line is written up to a latest moment: 16 ms, or the time the
same request takes when nothing appears (measured first), so that every
moment of the request is tried. A trial goes astray when the answer is ok
and the appearing window received the input.

For a key the window is a dialog that takes the focus; for a click or a
scroll it is an always-on-top window over the target that leaves the focus
where it is.
"""
import random
import time

from driver import Failure, STEP_SECONDS, centre, expect, fraction

EARLIEST_MS = 2
LATEST_MS = 16
# Undisturbed requests timed for the whole-request range.
TIMED_REQUESTS = 5


def actions(app):
    """The action of each kind, aimed at the middle of the message list."""
    at = fraction(app.frame, centre(app.widgets["messages"]))
    return {"key": {"kind": "key", "key": "escape"},
            "click": dict(at, kind="click", button="left", count=1),
            "scroll": dict(at, kind="scroll", amount=1, direction="down")}


def appearing_window(desk, app, kind):
    """The hidden window that appears during the trials of that kind."""
    if kind == "key":
        window = desk.app("dialog-%d" % len(desk.apps), "Notes", (300, 200, 320, 180), cover=True)
    else:
        x, y = centre(app.widgets["messages"])
        window = desk.app("cover-%d" % len(desk.apps), "Notes", (x - 60, y - 40, 120, 80), cover=True, above=True,
                          no_focus=True)
    window.command("hide")
    return window


def wait_focused(desk, app):
    """Waits until the chat window has the focus again."""
    deadline = time.monotonic() + STEP_SECONDS
    while desk.quillgate.ok("input-idle")["frontPid"] != app.pid:
        if time.monotonic() > deadline:
            raise Failure("the chat window did not get the focus back")
        time.sleep(0.02)


def request_ms(desk, app, bound, action):
    """How long the request takes when nothing appears: the median of a few."""
    times = []
    for _ in range(TIMED_REQUESTS):
        wait_focused(desk, app)
        desk.quillgate.ok("execute", bound=bound, action=action)
        times.append(desk.quillgate.elapsed * 1000)
    return sorted(times)[len(times) // 2]


def run_trials(desk, app, bound, kind, count, latest_ms=None, seed=23, log=None):
    """(trials, ok answers, ok answers whose input reached the appearing
    window, latest moment in ms); without latest_ms, the request's own time.
    log, when given, is told what each trial gone astray delivered where."""
    action = actions(app)[kind]
    if latest_ms is None:
        latest_ms = max(EARLIEST_MS, request_ms(desk, app, bound, action))
    window = appearing_window(desk, app, kind)
    chance = random.Random(seed)
    answered_ok = astray = 0
    for _ in range(count):
        wait_focused(desk, app)
        since = time.monotonic()
        delay = chance.uniform(EARLIEST_MS, latest_ms) / 1000
        desk.quillgate.send("execute", bound=bound, action=action)
        time.sleep(max(0.0, desk.quillgate.began + delay - time.monotonic()))
        window.send("show")
        answer = desk.quillgate.answer("execute")
        expect(answer.get("ok") is True or "error" in answer, "answer %s" % answer)
        window.wait("done", since, command="show")
        # Input posted at the end of the request has reached the window by the
        # time a round trip through its own event loop is done.
        window.command("hide")
        if answer.get("ok") is True:
            answered_ok += 1
            reached = window.input_events(since)
            astray += bool(reached)
            if reached and log:
                log("astray at %.1f ms: %s; the chat got %s" % (delay * 1000, reached, app.input_events(since)))
    window.stop()
    return count, answered_ok, astray, latest_ms
