"""The simulated desktop against the real one. Each case sets up a situation
on the X11 desktop, records it with --record-scene, then sends the same
read-only and refused requests to quillgate on the X11 desktop and to
quillgate on the simulated desktop with the recorded scene. The answers must
be equal: nothing on the desktop changes between recording and asking, so
not even the pictures may differ.
"""
import json
import os
import subprocess
import time

from driver import (REAL_DESKTOP, STEP_SECONDS, Quillgate, case, centre, decode_png, dump, equal, expect, fraction,
                    relative)


def record(desk, redact=False):
    """The recorded scene file of the desktop as it is now."""
    folder = os.path.join(desk.workdir, "scene-redacted" if redact else "scene")
    env = dict(os.environ, QUILLGATE_DESKTOP=REAL_DESKTOP, TMPDIR=desk.workdir)
    env.pop("QUILLGATE_SCENE", None)
    run = subprocess.run([desk.binary, "--record-scene", folder] + ["--redact"] * redact, env=env,
                         capture_output=True, timeout=60)
    answer = json.loads(run.stdout or b"{}")
    expect(run.returncode == 0 and answer.get("ok") is True and not run.stderr,
           "recording failed (status %d): %s %s" % (run.returncode, run.stdout, run.stderr))
    with open(answer["scene"], encoding="utf-8") as f:
        scene = json.load(f)
    # The test desktop is small: nothing may be cut.
    equal(scene["recording"]["cut"], [], "what the recording left out")
    return answer["scene"], scene


def guarded_binding(desk, app, bound):
    """The binding with a guard on the conversation header, as a host makes it."""
    picture = desk.quillgate.ok("capture", bound=bound)
    guard = desk.quillgate.ok("bind-region", bound=bound, region=relative(app.frame, app.widgets["header"], 4),
                              reference=picture["base64"])["guard"]
    return dict(bound, guard=guard)


def requests(app, bindings):
    """The read-only and refused requests, each under every binding."""
    hwnd = str(app.window)
    listed = [("list", {}), ("probe", {"id": hwnd}), ("inspect", {"hwnd": hwnd}), ("permissions", {}),
              ("input-idle", {})]
    points = [centre(app.widgets[name]) for name in ("header", "composer", "send")]
    for bound in bindings:
        listed += [("check", {"bound": bound}), ("capture", {"bound": bound})]
        listed += [("pointer", dict(fraction(app.frame, p), bound=bound)) for p in points]
        listed += [("popup", {"bound": bound, "elements": True, "image": True}),
                   ("composer-text", {"bound": bound, "region": relative(app.frame, app.widgets["composer"])}),
                   ("composer-text", {"bound": bound}),
                   ("ax-text", {"bound": bound}),
                   ("execute", {"bound": bound, "action": {"kind": "text", "text": "hi"}})]
    return listed


def without_time(answer):
    """An answer without the idle times, which grow between the two requests."""
    return {k: v for k, v in answer.items() if k not in ("idleMs", "keyIdleMs")}


def picture_difference(real, simulated):
    """Where two pictures of one window differ, for the failure message."""
    a, b = decode_png(real["base64"]), decode_png(simulated["base64"])
    if a[:2] != b[:2]:
        return "sizes %sx%s and %sx%s" % (a[0], a[1], b[0], b[1])
    rows = [y for y in range(a[1]) if a[2][y] != b[2][y]]
    return "%d rows differ, first %d" % (len(rows), rows[0]) if rows else "same pixels, different encoding"


def compare(desk, app, bindings):
    """Records the desktop and fails with every answer in which the two desktops differ."""
    path, scene = record(desk)
    replay = Quillgate(desk.binary, desk.workdir, scene=path, label="replay")
    differences = []
    try:
        for op, keys in requests(app, bindings):
            real, simulated = (without_time(q.request(op, **keys)) for q in (desk.quillgate, replay))
            if op == "execute":
                expect(real.get("ok") is False, "execute was not refused: %s" % dump(real))
            if real == simulated:
                continue
            if "base64" in real and "base64" in simulated:
                differences.append("capture: " + picture_difference(real, simulated))
            else:
                differences.append("%s %s:\n  real      %s\n  simulated %s"
                                   % (op, dump(keys)[:160], dump(real)[:600], dump(simulated)[:600]))
        replay.end()
    finally:
        replay.stop()
    expect(not differences, "%d answers differ:\n%s" % (len(differences), "\n".join(differences)))
    return scene


def chat_with_guard(desk):
    app, bound = desk.bound_chat()
    return app, [bound, guarded_binding(desk, app, bound)]


def chat_and_other_window(desk, geometry):
    """The bound chat window, then another application's window, which takes the focus."""
    app, bindings = chat_with_guard(desk)
    other = desk.cover(geometry)
    desk.window(other)
    return app, bindings, other


def refused_check(desk, bound):
    return desk.quillgate.refused("check", bound=bound)


@case
def differential_chat_window_alone(desk):
    app, bindings = chat_with_guard(desk)
    scene = compare(desk, app, bindings)
    expect(str(app.window) in scene["pixels"], "no picture of the chat window")
    desk.quillgate.ok("check", bound=bindings[1])


@case
def differential_dialog_open(desk):
    app, bindings = chat_with_guard(desk)
    since = time.monotonic()
    app.command("dialog")
    app.wait("shown", since, dialog="confirm")
    compare(desk, app, bindings)
    expect("Delete this chat?" in desk.quillgate.ok("popup", bound=bindings[0])["texts"], "the dialog's text")


@case
def differential_window_covering_the_header(desk):
    # Over the middle of the conversation header, which starts 20 points below the frame's top.
    app, bindings, cover = chat_and_other_window(desk, (300, 60, 300, 200))
    scene = compare(desk, app, bindings)
    expect(str(cover.window) in scene["pixels"], "no picture of the covering window")
    expect(refused_check(desk, bindings[1]).startswith("conversation header is obscured"), "the header is covered")


@case
def differential_minimised_window(desk):
    app, bindings = chat_with_guard(desk)
    app.command("minimize")
    app.wait("state", minimized=True)
    compare(desk, app, bindings)
    equal(refused_check(desk, bindings[0]), "selected window is minimized", "check")


@case
def differential_no_chat_window(desk):
    app, bindings, _ = chat_and_other_window(desk, (150, 150, 400, 300))
    app.send("quit")
    app.process.wait(STEP_SECONDS)
    scene = compare(desk, app, bindings)
    expect(all(a["pid"] != app.pid for a in scene["apps"]), "the closed application was recorded")
    equal(refused_check(desk, bindings[0]), "selected window is unavailable", "check")


@case
def differential_focus_elsewhere(desk):
    app, bindings, _ = chat_and_other_window(desk, (1060, 500, 200, 200))
    app.command("focus password")
    compare(desk, app, bindings)
    desk.quillgate.ok("check", bound=bindings[1])
    equal(desk.quillgate.refused("execute", bound=bindings[0], action={"kind": "key", "key": "tab"}),
          "selected window lost focus; action cancelled; focus_source=other", "execute")


@case
def differential_right_click_menu_open(desk):
    app, bindings = chat_with_guard(desk)
    at = fraction(app.frame, centre(app.widgets["messages"]))
    desk.quillgate.ok("execute", bound=bindings[0], action=dict(at, kind="click", button="right", count=1))
    app.wait("menu-shown")
    compare(desk, app, bindings)
    equal(desk.quillgate.ok("popup", bound=bindings[0])["found"], False, "the menu taken for a dialog")


@case
def differential_draft_with_the_focus_on_send(desk):
    app, bindings = chat_with_guard(desk)
    app.command("composer 你好, Bob")
    app.command("focus send")
    compare(desk, app, bindings)
    equal(desk.quillgate.ok("composer-text", bound=bindings[0], region=relative(app.frame, app.widgets["composer"])),
          {"ok": True, "text": "你好, Bob"}, "the draft")


@case
def differential_redacted_scene_keeps_the_answers_that_carry_no_text(desk):
    app, bindings = chat_with_guard(desk)
    _, scene = record(desk, redact=True)
    text = dump(scene)
    for secret in ("draft message", "Hello", "Are you there?", "secret-password"):
        expect(secret not in text, "%r is in the redacted scene" % secret)
    expect(all(p == {"fill": "#ffffff"} for p in scene["pixels"].values()), "a picture was kept")
    path = os.path.join(desk.workdir, "scene-redacted", "scene.json")
    replay = Quillgate(desk.binary, desk.workdir, scene=path, label="replay")
    try:
        hwnd = str(app.window)
        real, simulated = desk.quillgate.ok("inspect", hwnd=hwnd), replay.ok("inspect", hwnd=hwnd)
        equal(simulated["identity"], dict(real["identity"], title="x" * len(real["identity"]["title"])),
              "identity in the redacted scene")
        equal(replay.ok("composer-text", bound=simulated["identity"],
                        region=relative(app.frame, app.widgets["composer"])),
              {"ok": True, "text": "xxxxx xxxxxxx"}, "composer text in the redacted scene")
        replay.end()
    finally:
        replay.stop()


@case
def differential_window_kept_above_over_the_composer(desk):
    app, bindings = chat_with_guard(desk)
    composer = app.widgets["composer"]
    # A floating window is no application window: it is ready once drawn, not listed.
    desk.cover((composer[0] + 100, composer[1] - 50, 300, 150), above=True, no_focus=True)
    compare(desk, app, bindings)
    error = desk.quillgate.refused("pointer", bound=bindings[0], **fraction(app.frame, centre(composer)))
    expect(error.startswith("目标窗口被遮挡"), "pointer at the covered composer: " + error)
