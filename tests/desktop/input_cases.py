"""Posted input: clicks, key chords, scrolls and pointer moves reaching the right place, or nothing at all."""
import time

from driver import SHORTCUT, case, centre, equal, expect, fraction

# Each allowed key name and what the application receives: the key and its modifiers.
KEYS = [("enter", "Return", []), ("tab", "Tab", []), ("escape", "Escape", []),
        ("backspace", "BackSpace", []), ("delete", "Delete", []), ("left", "Left", []),
        ("right", "Right", []), ("up", "Up", []), ("down", "Down", []), ("home", "Home", []),
        ("end", "End", []), ("ctrl+a", "a", [SHORTCUT]), ("ctrl+v", "v", [SHORTCUT]),
        ("cmd+enter", "Return", [SHORTCUT])]
MODIFIER_KEYS = ("Control_L", "Control_R", "Shift_L", "Shift_R", "Alt_L", "Alt_R", "Super_L", "Super_R",
                 "Meta_L", "Meta_R", "ISO_Level3_Shift")


def click(app, widget, button="left", count=1, **extra):
    return dict(fraction(app.frame, centre(app.widgets[widget])), kind="click", button=button, count=count, **extra)


def presses(app, since):
    return [(r["what"], r["button"], r["x"], r["y"], r["widget"]) for r in app.events(since=since)
            if r["what"] in ("press", "double", "release")]


@case
def click_lands_on_the_send_button(desk):
    app, bound = desk.bound_chat()
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action=click(app, "send"))
    app.wait("clicked", since, widget="send")
    x, y = centre(app.widgets["send"])
    equal(presses(app, since), [("press", 1, x, y, "send"), ("release", 1, x, y, "send")], "button events")


@case
def double_and_right_clicks_reach_the_message_list(desk):
    app, bound = desk.bound_chat()
    x, y = centre(app.widgets["messages"])
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action=click(app, "messages", count=2))
    app.wait_many("release", 2, since)
    equal(presses(app, since), [
        ("press", 1, x, y, "messages"), ("release", 1, x, y, "messages"), ("press", 1, x, y, "messages"),
        ("double", 1, x, y, "messages"), ("release", 1, x, y, "messages")], "double click")
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action=click(app, "messages", button="right"))
    app.wait("menu-shown", since)
    equal(presses(app, since)[0], ("press", 3, x, y, "messages"), "right button press")


@case
def every_allowed_key_reaches_the_composer(desk):
    app, bound = desk.bound_chat()
    since = time.monotonic()
    for name, _, _ in KEYS:
        desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": name})
    app.wait("key", since, key="Return", mods=[SHORTCUT])
    received = [(r["key"], r["mods"], r["widget"]) for r in app.events("key", since) if r["key"] not in MODIFIER_KEYS]
    # An enter may arrive twice: once sent to the process, once through the keyboard.
    collapsed = [k for i, k in enumerate(received) if i == 0 or k != received[i - 1] or k[0] != "Return"]
    equal(collapsed, [(key, mods, "composer") for _, key, mods in KEYS], "keys received")
    equal(desk.quillgate.ok("input-idle")["heldKeys"], [], "keys held afterwards")


@case
def key_outside_the_table_posts_nothing(desk):
    app, bound = desk.bound_chat()
    since = time.monotonic()
    for key in ("a", "Enter", "ctrl+enter", "alt+f4"):
        equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": key}),
              "key is not permitted", key)
    equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "type", "text": "hello"}),
          "Mac 软件模式仅允许已核对的快捷键粘贴，不支持直接输入任意文本。", "typing")
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "tab"})
    app.wait("key", since, key="Tab")
    equal([r["key"] for r in app.input_events(since)], ["Tab"], "input received")


@case
def scroll_reaches_the_message_list(desk):
    app, bound = desk.bound_chat()
    x, y = centre(app.widgets["messages"])
    since = time.monotonic()
    at = fraction(app.frame, (x, y))
    desk.quillgate.ok("execute", bound=bound, action=dict(at, kind="scroll", amount=3, direction="down"))
    desk.quillgate.ok("execute", bound=bound, action=dict(at, kind="scroll", amount=2, direction="up"))
    equal([(r["direction"], r["x"], r["y"], r["widget"]) for r in app.wait_many("scroll", 5, since)],
          [("down", x, y, "messages")] * 3 + [("up", x, y, "messages")] * 2, "scroll events")


@case
def move_puts_the_pointer_on_the_target(desk):
    app, bound = desk.bound_chat()
    x, y = centre(app.widgets["composer"])
    at = fraction(app.frame, (x, y))
    desk.quillgate.ok("execute", bound=bound, action=dict(at, kind="move"))
    pointer = desk.quillgate.ok("pointer", bound=bound, **at)["pointer"]
    equal(pointer, {"x": x, "y": y, "targetX": x, "targetY": y, "inside": True}, "pointer")


@case
def click_on_a_covered_point_is_refused(desk):
    app, bound = desk.bound_chat()
    send = app.widgets["send"]
    # Kept above the chat window without taking the focus from it.
    cover = desk.cover((send[0] - 40, send[1] - 40, 240, 160), above=True, no_focus=True)
    since = time.monotonic()
    error = desk.quillgate.refused("execute", bound=bound, action=click(app, "send"))
    expect(error.startswith("目标窗口被遮挡，未执行点击。occluder=Notes layer="), "covered click: " + error)
    equal(app.input_events(since), [], "input reaching the covered application")
    equal(cover.input_events(since), [], "input reaching the covering application")
    desk.quillgate.ok("execute", bound=bound, action=click(app, "messages"))
    app.wait("release", since, widget="messages")
