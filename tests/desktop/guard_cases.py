"""Captures of real windows and the conversation guard over real pixels."""
import hashlib
import json
import os
import subprocess
import time

from driver import STEP_SECONDS, case, centre, decode_png, equal, expect, fraction, mac_case, pixel, relative

HEADER_RGBA = (0x33, 0x8c, 0xd9, 255)


def header_region(app):
    # Inside the strip, clear of its edges.
    return relative(app.frame, app.widgets["header"], inset=4)


def region_hash(picture, region):
    rows = picture[2][region["y"]:region["y"] + region["height"]]
    return hashlib.sha256(b"".join(row[4 * region["x"]:4 * (region["x"] + region["width"])] for row in rows)).hexdigest()


def guarded(desk, app):
    """The binding with a guard over the conversation header, and the capture it was taken from."""
    bound = desk.bind(app)
    shot = desk.quillgate.ok("capture", bound=bound)
    guard = desk.quillgate.ok("bind-region", bound=bound, region=header_region(app), reference=shot["base64"])["guard"]
    return dict(bound, guard=guard), shot


@case
def capture_is_the_window_frame_in_true_colours(desk):
    app, bound = desk.bound_chat()
    shot = desk.quillgate.ok("capture", bound=bound)
    equal((shot["width"], shot["height"]), (app.frame[2], app.frame[3]), "picture size")
    region = header_region(app)
    picture = decode_png(shot["base64"], rows=region["y"] + region["height"])
    equal((picture[0], picture[1]), (app.frame[2], app.frame[3]), "PNG size")
    x, y = centre((region["x"], region["y"], region["width"], region["height"]))
    equal(pixel(picture, x, y), HEADER_RGBA, "header pixel")
    # The frame's title bar is in the picture too, above the client area.
    expect(pixel(picture, x, 2) != HEADER_RGBA, "no title bar above the header")
    # The same picture through "capture-input", once the window has settled:
    # focus and the frame's decoration may still be repainting just after start.
    for _ in range(10):
        same = desk.quillgate.ok("capture-input", bound=bound)["base64"]
        if same == shot["base64"]:
            break
        time.sleep(0.1)
        shot = desk.quillgate.ok("capture", bound=bound)
    equal(same, shot["base64"], "capture-input")


@case
def guard_holds_until_the_header_changes(desk):
    app = desk.chat()
    bound, shot = guarded(desk, app)
    region = header_region(app)
    expected = region_hash(decode_png(shot["base64"], rows=region["y"] + region["height"]), region)
    equal(bound["guard"], dict(region, hash=expected), "guard")
    desk.quillgate.ok("check", bound=bound)
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "tab"})
    app.wait("key", since, key="Tab")

    app.command("header #cc3333")
    app.wait("header", color="#cc3333")
    since = time.monotonic()
    changed = "conversation header changed; action cancelled"
    equal(desk.quillgate.refused("check", bound=bound), changed, "check after the change")
    equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": "tab"}), changed, "execute")
    unguarded = {k: v for k, v in bound.items() if k != "guard"}
    equal(desk.quillgate.refused("bind-region", bound=unguarded, region=region, reference=shot["base64"]),
          "conversation header changed since verification; action cancelled", "binding the old picture")
    equal(app.input_events(since), [], "input after the header changed")


@case
def covered_header_is_refused_and_nothing_reaches_the_app(desk):
    app = desk.chat()
    bound, shot = guarded(desk, app)
    header = app.widgets["header"]
    cover = desk.cover((header[0] + 200, header[1] - 30, 300, 200))
    since = time.monotonic()
    obscured = "conversation header is obscured; action cancelled; occluder=Notes"
    equal(desk.quillgate.refused("check", bound=bound), obscured, "covered header")
    send = centre(app.widgets["send"])
    error = desk.quillgate.refused("execute", bound=bound,
                                   action=dict(fraction(app.frame, send), kind="click", button="left", count=1))
    # The covering window took the focus, which is checked first.
    expect(error in ("selected window lost focus; action cancelled; focus_source=other", obscured),
           "click while covered: " + error)
    equal(app.input_events(since), [], "input reaching the covered application")
    equal(cover.input_events(since), [], "input reaching the covering application")
    # The window's own pixels, not the screen's: covered, the header still hashes the same.
    unguarded = {k: v for k, v in bound.items() if k != "guard"}
    again = desk.quillgate.ok("bind-region", bound=unguarded, region=header_region(app), reference=shot["base64"])
    equal(again["guard"], bound["guard"], "guard taken while covered")


def hashes_by_both_paths(app, region):
    """The region's guard hash from the screenshot service's picture and
    from the screenshot tool's, by the program's own code (guard_hashes)."""
    helper = subprocess.run([os.environ["QUILLGATE_GUARD_HASHES"], str(app.window)]
                            + [str(region[k]) for k in ("x", "y", "width", "height")],
                            capture_output=True, text=True, timeout=STEP_SECONDS)
    expect(helper.returncode == 0, "guard_hashes ended with status %d: %s" % (helper.returncode, helper.stderr))
    return json.loads(helper.stdout)


@mac_case
def screenshot_service_and_tool_give_the_header_one_hash(desk):
    # The program pins the hash of whichever picture answers, the service's
    # or, when the service is slow or declines, the tool's. Each comes in its
    # own colour space; both must hash the header alike, in the blue it
    # starts with and in a saturated green.
    app = desk.chat()
    bound, _ = guarded(desk, app)
    region = header_region(app)
    pinned = bound["guard"]["hash"]
    equal(hashes_by_both_paths(app, region), {"service": pinned, "tool": pinned}, "the blue header's hashes")
    app.command("header #00ff00")
    app.wait("header", color="#00ff00")
    green = hashes_by_both_paths(app, region)
    equal(green["tool"], green["service"], "the green header's hash by the tool")
