"""Input only where it is proven: windows that take the pointer whatever they look
like, targets beyond the screen, keyboard layouts, held modifiers, scaled
applications and other workspaces. All but the held modifiers are X11's
own (they need its layout groups, window opacity, input regions, scaling or
workspaces); mac_cases.py tries the Mac's versions of what went astray."""
import json
import os
import subprocess
import time

from appearing import LATEST_MS, run_trials
from driver import (MAC, REAL_DESKTOP, SHORTCUT, STEP_SECONDS, case, centre, dump, equal, expect, fraction, frame_of,
                    relative, x11_case)
from input_cases import MODIFIER_KEYS, click
from mac_keyboard import MacKeyboard
from x11_keyboard import Keyboard

POINTER_OCCLUDED = "目标窗口被遮挡，未执行点击。occluder="
KEY_UNAVAILABLE = "MAC_KEY_UNAVAILABLE: 当前键盘布局按不出此键，未执行。"


def around(rect, margin=40):
    """A rectangle covering rect with a margin on each side."""
    return (rect[0] - margin, rect[1] - margin, rect[2] + 2 * margin, rect[3] + 2 * margin)


@x11_case
def transparent_window_over_the_target_is_a_cover(desk):
    app, bound = desk.bound_chat()
    # Fully transparent, but on X it still takes the pointer.
    cover = desk.cover(around(app.widgets["send"]), above=True, no_focus=True)
    cover.command("opacity 0")
    since = time.monotonic()
    error = desk.quillgate.refused("execute", bound=bound, action=click(app, "send"))
    expect(error.startswith(POINTER_OCCLUDED + "Notes layer="), "click under a transparent window: " + error)
    equal(app.input_events(since), [], "input reaching the chat application")
    equal(cover.input_events(since), [], "input reaching the transparent window")


@x11_case
def overlay_without_an_input_region_lets_the_click_through(desk):
    app, bound = desk.bound_chat()
    overlay = desk.app("overlay", "Notes", around(app.widgets["send"]), cover=True, overlay=True)
    overlay.command("input-through")
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action=click(app, "send"))
    app.wait("clicked", since, widget="send")
    equal(overlay.input_events(since), [], "input reaching the overlay")


@x11_case
def pointer_target_beyond_the_screen_edge_is_refused(desk):
    # The window reaches past the right edge of the 1280-pixel screen, its
    # Send button with it: X would move the pointer to the edge and press there.
    app = desk.chat()
    app.command("move 700 80")
    deadline = time.monotonic() + STEP_SECONDS
    while frame_of(desk.window(app))[0] != 700:
        expect(time.monotonic() < deadline, "the window was not moved")
        time.sleep(0.05)
    since = time.monotonic()
    app.command("geometry")
    moved = app.wait("geometry", since)
    app.frame, app.widgets = moved["frame"], moved["widgets"]
    bound = desk.bind(app)
    send = app.widgets["send"]
    expect(send[0] > 1280, "the Send button is on screen at %s" % send)
    since = time.monotonic()
    scroll = dict(fraction(app.frame, centre(send)), kind="scroll", amount=1, direction="down")
    for action in (click(app, "send"), scroll, dict(click(app, "send"), kind="move")):
        equal(desk.quillgate.refused("execute", bound=bound, action=action), POINTER_OCCLUDED + "offscreen",
              action["kind"] + " beyond the edge")
    equal(app.input_events(since), [], "input reaching the chat application")
    desk.quillgate.ok("execute", bound=bound, action=click(app, "messages"))
    app.wait("release", since, widget="messages")


def keys_received(app, since):
    """The keys the application received since then, without modifier keys,
    an enter sent twice (to the process, then through the keyboard) once."""
    received = [(r["key"], r["mods"]) for r in app.events("key", since) if r["key"] not in MODIFIER_KEYS]
    return [k for i, k in enumerate(received) if i == 0 or k != received[i - 1] or k[0] != "Return"]


@x11_case
def chords_arrive_as_their_keys_in_another_layout_group(desk):
    app, bound = desk.bound_chat()
    keyboard = Keyboard()
    try:
        for layouts in ("us,fr", "us,ru"):
            keyboard.layout(layouts)
            keyboard.lock_group(1)  # French, then Russian, in use
            since = time.monotonic()
            for name in ("ctrl+a", "ctrl+v", "enter"):
                desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": name})
            app.wait("key", since, key="Return")
            equal(keys_received(app, since), [("a", ["control"]), ("v", ["control"]), ("Return", [])],
                  "keys received with %s, second group in use" % layouts)
    finally:
        keyboard.close()


@x11_case
def layout_without_the_key_is_the_desktops_failure(desk):
    app, bound = desk.bound_chat()
    keyboard = Keyboard()
    try:
        keyboard.layout("ru")
    finally:
        keyboard.close()
    since = time.monotonic()
    for name in ("ctrl+a", "ctrl+v"):
        equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": name}),
              KEY_UNAVAILABLE, name + " with a Russian layout alone")
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "tab"})
    app.wait("key", since, key="Tab")
    equal(keys_received(app, since), [("Tab", [])], "keys received")


# The modifier keys held, by their names, and the Mac key code "input-idle"
# reports each by: X11's Control is the Mac's Command key.
HELD_MODIFIERS = ((("Shift_L", 56), ("Control_L", 59), ("Super_L", 55)) if MAC
                  else (("Shift_L", 56), ("Control_L", 55)))
# On X11 a chord releases the modifier keys held when it goes down, and they
# stay released (docs/x11-backend.md); on a Mac a posted key carries its own
# flags and leaves the keys held as they are.
HELD_KEYS_OUTLAST_CHORDS = MAC


def users_keyboard(app):
    """The keyboard as the user's hands change it: on X11 through XTest, on a Mac through the application."""
    return MacKeyboard(app) if MAC else Keyboard()


@case
def held_modifier_stays_out_of_posted_chords(desk):
    app, bound = desk.bound_chat()
    keyboard = users_keyboard(app)
    try:
        for held, code in HELD_MODIFIERS:
            keyboard.hold(held)
            equal(desk.quillgate.ok("input-idle")["heldKeys"], [code], held + " reported held")
            since = time.monotonic()
            for name in ("enter", "ctrl+a"):
                desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": name})
            app.wait("key", since, key="a")
            equal(keys_received(app, since), [("Return", []), ("a", [SHORTCUT])], "keys received with %s held" % held)
            # The report and the keyboard agree.
            equal(desk.quillgate.ok("input-idle")["heldKeys"], [code] if HELD_KEYS_OUTLAST_CHORDS else [],
                  "keys held after the chords")
            equal(keyboard.down(held), HELD_KEYS_OUTLAST_CHORDS, held + " down after the chords")
            keyboard.let_go(held)

        # The protocol's release-keys never touches a modifier key; the
        # doctor then must not advise it, and the key stays reported held,
        # as the keyboard has it.
        keyboard.hold("Shift_L")
        equal(desk.quillgate.ok("release-keys", keys=[56]), {"ok": True, "released": [], "stillHeld": []},
              "release-keys asked for a modifier")
        equal(desk.quillgate.ok("input-idle")["heldKeys"], [56], "a modifier still held")
        expect(keyboard.down("Shift_L"), "Shift_L let go of")
        env = dict(os.environ, QUILLGATE_DESKTOP=REAL_DESKTOP)
        run = subprocess.run([desk.binary, "--doctor", "--json"], env=env, capture_output=True, timeout=60)
        idle = [c for c in json.loads(run.stdout)["checks"] if c["check"] == "idle"][0]
        expect("key codes held down: 56" in idle["detail"], "doctor's idle detail: %s" % dump(idle))
        expect("send release-keys" not in idle["advice"], "doctor advises what cannot help: %s" % dump(idle))
    finally:
        keyboard.close()


@x11_case
def scaled_application_is_read_in_window_pixels(desk):
    # GDK_SCALE=2: the toolkit's own pixels (its accessibility extents and the
    # rectangles it logs) are half the window's.
    app = desk.app("chat", "WeChat", (50, 40, 560, 360), env={"GDK_SCALE": "2"})
    bound = desk.bind(app)
    frame = frame_of(desk.window(app))
    # Logical pixels are rounded: within two device pixels.
    expect(all(abs(a - 2 * b) <= 2 for a, b in zip(frame, app.frame)),
           "frame %s in window pixels, the toolkit's %s" % (frame, app.frame))
    widgets = {name: [2 * v for v in rect] for name, rect in app.widgets.items()}

    tree = desk.quillgate.ok("ax-text", bound=bound)
    equal(tree["walked"], True, "walked")
    send = [item for item in tree["items"] if item["text"] == "Send"]
    expect(len(send) == 1, "Send among the items: %s" % [item["text"] for item in tree["items"]])
    rect = widgets["send"]
    expected = ((rect[0] - frame[0]) / frame[2], (rect[1] - frame[1]) / frame[3], rect[2] / frame[2], rect[3] / frame[3])
    actual = (send[0]["x"], send[0]["y"], send[0]["w"], send[0]["h"])
    expect(all(abs(a - e) < 4 / frame[2] for a, e in zip(actual, expected)),
           "Send button at %s, expected %s" % (actual, expected))
    equal(desk.quillgate.ok("composer-text", bound=bound, region=relative(frame, widgets["composer"])),
          {"ok": True, "text": "draft message"}, "composer text")

    app.command("dialog")
    app.wait("shown", dialog="confirm")
    popup = desk.quillgate.ok("popup", bound=bound)
    expect(popup["found"] and "OK" in popup["texts"], "popup of the scaled dialog: %s" % dump(popup))
    equal(desk.quillgate.ok("popup-press", bound=bound, labels=["OK"]).get("pressed"), True, "press of OK")


@x11_case
def activate_brings_the_window_back_from_another_desktop(desk):
    app, bound = desk.bound_chat()
    app.command("desktop 1")
    deadline = time.monotonic() + STEP_SECONDS
    while not desk.window(app)["minimized"]:
        expect(time.monotonic() < deadline, "the window never left the desktop in view")
        time.sleep(0.05)
    since = time.monotonic()
    equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": "tab"}),
          "selected window is minimized", "execute on another desktop")
    desk.wait_idle()
    equal(desk.quillgate.ok("activate", bound=bound)["identity"]["minimized"], False, "activated identity minimised")
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "tab"})
    app.wait("key", since, key="Tab")


# Another application's window appearing 2-16 ms into a request on X11, 200
# times for each kind of action (the Mac's cases, with their own bound, are
# in mac_cases.py). Before the desktop was held around the last proof and
# the event, ok answers whose input reached that window came in 27 of 100
# key trials, 6 of 100 clicks and 10 of 100 scrolls; held, they come in
# fewer than 1 of 100 trials of each kind (clicks the window manager
# intercepts to focus can still meet a window whose mapping it was asked
# for in the instant before the hold). The full measurement, with windows
# appearing at any moment of the request too, is
# tests/desktop/appearing_trials.py.
APPEARING_TRIALS = 200
APPEARING_ASTRAY_AT_MOST = 4  # of the 600 trials: a third of the 1 in 100 allowed


@x11_case
def window_appearing_during_a_request_rarely_gets_its_input(desk):
    app, bound = desk.bound_chat()
    outcomes = {kind: run_trials(desk, app, bound, kind, APPEARING_TRIALS, LATEST_MS)
                for kind in ("key", "click", "scroll")}
    astray = sum(outcome[2] for outcome in outcomes.values())
    expect(astray <= APPEARING_ASTRAY_AT_MOST,
           "%d ok answers whose input reached a window appearing 2-%d ms into the request: %s"
           % (astray, LATEST_MS, ", ".join("%s %d of %d trials (%d ok)" % (kind, o[2], o[0], o[1])
                                          for kind, o in outcomes.items())))
