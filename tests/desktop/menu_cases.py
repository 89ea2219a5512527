"""Menus opened by quillgate's own input, and how the host closes them."""
import time

from driver import STEP_SECONDS, case, centre, equal, expect, fraction


def menu_listed(desk, bound, frame):
    debug = desk.quillgate.ok("popup", bound=bound).get("debug", [])
    return any((d["w"], d["h"]) == (frame[2], frame[3]) for d in debug)


@case
def right_click_menu_is_closed_by_dismiss_menu(desk):
    app, bound = desk.bound_chat()
    at = fraction(app.frame, centre(app.widgets["messages"]))
    desk.quillgate.ok("execute", bound=bound, action=dict(at, kind="click", button="right", count=1))
    menu = app.wait("menu-shown")["frame"]
    expect(menu_listed(desk, bound, menu), "the menu is not listed over the window")
    # The application is named as "list" names its process.
    equal(desk.quillgate.ok("dismiss-menu", bundles=["WeChat"]), {"ok": True, "found": True}, "dismiss-menu")
    deadline = time.monotonic() + STEP_SECONDS
    while menu_listed(desk, bound, menu):
        expect(time.monotonic() < deadline, "the menu is still open")
        time.sleep(0.05)
    equal(desk.quillgate.ok("dismiss-menu", bundles=["WeChat"]), {"ok": True, "found": False}, "no menu left")
    equal(desk.quillgate.ok("dismiss-menu", bundles=["Notes"]), {"ok": True, "found": False}, "another application")
    equal(app.events("menu"), [], "a menu item chosen")
