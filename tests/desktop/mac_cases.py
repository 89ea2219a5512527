"""What went astray on X11, tried on the macOS desktop: windows the mouse
passes through, targets beyond the screen's edge, a non-US keyboard layout,
a window appearing during a request, and a quit-and-relaunch of the
application between two requests."""
import time

from appearing import run_trials
from driver import SHORTCUT, centre, equal, expect, fraction, mac_case

UNAVAILABLE = "selected window is unavailable"


def click(app, widget):
    return dict(fraction(app.frame, centre(app.widgets[widget])), kind="click", button="left", count=1)


@mac_case
def relaunched_application_is_a_new_instance_at_once(desk):
    app, bound = desk.bound_chat()
    app.send("quit")
    app.process.wait(10)
    again = desk.app("relaunched", "WeChat", desk.CHAT_GEOMETRY)
    since = time.monotonic()
    # The old binding names a window and a process instance that are gone,
    # even though a window of the same owner, title and size is back.
    equal(desk.quillgate.refused("check", bound=bound), UNAVAILABLE, "check of the old binding")
    equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": "tab"}), UNAVAILABLE,
          "execute with the old binding")
    equal(again.input_events(since), [], "input reaching the relaunched application")
    rebound = desk.bind(again)
    expect(rebound["pid"] != bound["pid"] or rebound["processStart"] != bound["processStart"],
           "the relaunched application has the old instance's identity: %s" % rebound)


@mac_case
def window_the_mouse_passes_through_takes_nothing(desk):
    app, bound = desk.bound_chat()
    send = app.widgets["send"]
    cover = desk.cover((send[0] - 40, send[1] - 40, 240, 160), above=True, no_focus=True, click_through=True)
    since = time.monotonic()
    answer = desk.quillgate.request("execute", bound=bound, action=click(app, "send"))
    if answer.get("ok"):
        # Posted: then it must have reached the send button underneath, once.
        app.wait("clicked", since, widget="send")
        equal([r["what"] for r in app.input_events(since)], ["press", "release", "clicked"], "input received")
    else:
        equal(app.input_events(since), [], "input reaching the chat application after a refusal")
    equal(cover.input_events(since), [], "input reaching the window over the target")


@mac_case
def target_beyond_the_screen_edge_is_refused(desk):
    probe = desk.app("probe", "Notes", (0, 80, 200, 100), cover=True, no_focus=True)
    width = probe.ready["screen"][2]
    # The window hangs over the right edge: its Send button is off the screen.
    app = desk.app("chat", "WeChat", (width - 500, 80, 900, 600))
    bound = desk.bind(app)
    expect(app.widgets["send"][0] > width, "the send button is on the screen: %s" % app.widgets["send"])
    since = time.monotonic()
    desk.quillgate.refused("execute", bound=bound, action=click(app, "send"))
    time.sleep(0.5)
    equal(app.input_events(since), [], "input after the refusal")


@mac_case
def shortcut_on_a_french_keyboard_stays_select_all(desk):
    app, bound = desk.bound_chat()
    app.command("layout com.apple.keylayout.French")
    try:
        expect(app.events("layout")[-1]["ok"], "the French layout could not be selected")
        since = time.monotonic()
        desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "ctrl+a"})
        # Under AZERTY the key code of US "a" types "q": Command-Q would quit the application.
        key = app.wait("key", since, mods=[SHORTCUT])
        equal((key["key"], key["widget"]), ("a", "composer"), "the chord received")
        expect(app.process.poll() is None, "the application quit")
    finally:
        # The session's layout back to US, through another instance if this one is gone.
        restorer = app if app.process.poll() is None else desk.cover((0, 80, 200, 100), no_focus=True)
        restorer.command("layout com.apple.keylayout.US")


# A window appearing at any moment of a request, for each kind of action:
# of the ok answers, fewer than 1 in 100 may have delivered the input to it.
APPEARING_TRIALS = 200


def appearing_window_almost_never_gets(desk, kind):
    app, bound = desk.bound_chat()
    trials, answered, astray, latest = run_trials(desk, app, bound, kind, APPEARING_TRIALS)
    expect(100 * astray < answered,
           "%d of %d ok answers (%d trials) delivered the %s to a window appearing 2-%.0f ms into the request"
           % (astray, answered, trials, kind, latest))


@mac_case
def window_appearing_during_a_key_request_almost_never_gets_it(desk):
    appearing_window_almost_never_gets(desk, "key")


@mac_case
def window_appearing_during_a_click_almost_never_gets_it(desk):
    appearing_window_almost_never_gets(desk, "click")


@mac_case
def window_appearing_during_a_scroll_almost_never_gets_it(desk):
    appearing_window_almost_never_gets(desk, "scroll")
