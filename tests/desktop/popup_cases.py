"""Dialogs and menus over the chat window: finding, reading, pressing and closing them."""
import time

from driver import case, centre, decode_png, equal, expect, fraction, relative

# A bound that tells a press answered in time from one stuck on an application
# that stopped answering accessibility calls.
PRESS_SECONDS = 6


def chat_with_dialog(desk, nested=False):
    """The bound chat window with its Confirm dialog open, and the dialog's "shown" record."""
    app, bound = desk.bound_chat()
    app.command("dialog nested" if nested else "dialog")
    return app, bound, app.wait("shown", dialog="confirm")


@case
def popup_finds_and_reads_the_modal_dialog(desk):
    app, bound = desk.bound_chat()
    equal(desk.quillgate.ok("popup", bound=bound)["found"], False, "popup before the dialog")
    app.command("dialog")
    shown = app.wait("shown", dialog="confirm")
    popup = desk.quillgate.ok("popup", bound=bound, elements=True, image=True)
    equal(popup["found"], True, "found")
    for text in ("Delete this chat?", "OK", "Cancel"):
        expect(text in popup["texts"], "%r not among the popup's texts %s" % (text, popup["texts"]))
    equal(popup["rect"], relative(app.frame, shown["frame"]), "popup frame")
    ok = [e for e in popup["elements"] if e["text"] == "OK"]
    expect(len(ok) == 1, "OK among the elements: %s" % popup["elements"])
    expect(0 < ok[0]["x"] < 1 and 0 < ok[0]["y"] < 1 and 0 < ok[0]["width"] < 0.5, "OK's place %s" % ok[0])
    equal((popup["width"], popup["height"]), (shown["frame"][2], shown["frame"][3]), "popup picture size")
    decode_png(popup["base64"], rows=1)


@case
def popup_press_ok_closes_the_dialog(desk):
    app, bound, _ = chat_with_dialog(desk)
    since = time.monotonic()
    equal(desk.quillgate.ok("popup-press", bound=bound, labels=["Later"]),
          {"ok": True, "found": True, "pressed": False, "why": "matches-0"}, "press of a missing label")
    equal(desk.quillgate.ok("popup-press", bound=bound, labels=["OK"]),
          {"ok": True, "found": True, "pressed": True, "clicked": False, "stillOpen": False}, "press of OK")
    equal([(r["dialog"], r["response"]) for r in app.events("response", since)], [("confirm", "ok")], "responses")
    equal(desk.quillgate.ok("popup", bound=bound)["found"], False, "popup after the press")


@case
def popup_close_dismisses_the_dialog_with_escape(desk):
    app, bound, _ = chat_with_dialog(desk)
    since = time.monotonic()
    equal(desk.quillgate.ok("popup-close", bound=bound), {"ok": True, "found": True, "closed": True}, "close")
    equal([(r["dialog"], r["response"]) for r in app.events("response", since)], [("confirm", "delete")],
          "responses")
    # The draft in the composer underneath is untouched.
    region = relative(app.frame, app.widgets["composer"])
    equal(desk.quillgate.ok("composer-text", bound=bound, region=region).get("text"), "draft message", "draft")


@case
def press_that_opens_a_nested_dialog_does_not_stall(desk):
    app, bound, _ = chat_with_dialog(desk, nested=True)
    since = time.monotonic()
    press = desk.quillgate.ok("popup-press", bound=bound, labels=["OK"], timeout=PRESS_SECONDS)
    equal((press["found"], press["pressed"]), (True, True), "press of OK: %s" % press)
    app.wait("response", since, dialog="confirm", response="ok")
    app.wait("shown", since, dialog="sure")
    # The application is inside the second dialog's own main loop now, and
    # must still answer accessibility calls.
    popup = desk.quillgate.ok("popup", bound=bound, timeout=PRESS_SECONDS)
    expect(popup["found"] and "This cannot be undone." in popup["texts"], "nested dialog not read: %s" % popup)
    press = desk.quillgate.ok("popup-press", bound=bound, labels=["Cancel"], timeout=PRESS_SECONDS)
    equal((press["found"], press["pressed"]), (True, True), "press of Cancel: %s" % press)
    app.wait("response", since, dialog="sure", response="cancel")
    equal(desk.quillgate.ok("popup", bound=bound)["found"], False, "popup after both dialogs")


@case
def right_click_menu_is_listed_over_the_window(desk):
    app, bound = desk.bound_chat()
    at = fraction(app.frame, centre(app.widgets["messages"]))
    desk.quillgate.ok("execute", bound=bound, action=dict(at, kind="click", button="right", count=1))
    menu = app.wait("menu-shown")["frame"]
    # A menu bypasses the window manager; it is listed all the same, as a
    # menu above the window rather than as one of its dialogs.
    popup = desk.quillgate.ok("popup", bound=bound)
    equal(popup["found"], False, "menu taken for a dialog")
    place = relative(app.frame, menu)
    listed = [(d["owner"], d["pid"], d["x"], d["y"], d["w"], d["h"]) for d in popup["debug"]]
    expect(("WeChat", app.pid, place["x"], place["y"], menu[2], menu[3]) in listed,
           "the menu %s is not among the windows over the chat window: %s" % (menu, popup["debug"]))
    # A click on it is refused: the menu holds the focus, and it covers the window.
    since = time.monotonic()
    item = fraction(app.frame, centre(menu))
    error = desk.quillgate.refused("execute", bound=bound, action=dict(item, kind="click", button="left", count=1))
    expect(error == "selected window lost focus; action cancelled; focus_source=other"
           or error.startswith("目标窗口被遮挡，未执行点击。occluder=WeChat layer="), "click on the menu: " + error)
    equal(app.input_events(since), [], "input reaching the menu")
