"""The window list, identities, activation and how the X11 desktop is selected."""
import os
import subprocess
import time

from driver import case, dump, equal, expect, frame_of, x11_case


@case
def list_and_inspect_find_the_chat_window(desk):
    began = time.time()
    app = desk.chat()
    window = desk.window(app)
    equal(window["pid"], app.pid, "pid")
    equal(window["process"], "WeChat", "process")
    equal(window["title"], "WeChat", "title")
    equal(window["minimized"], False, "minimized")
    # The frame: the client area and the window manager's decoration around it.
    equal(frame_of(window), app.frame, "frame")
    started = float(window["started"])
    expect(began - 2 < started < time.time(), "start time %s is not the process's" % window["started"])

    identity = desk.quillgate.ok("inspect", hwnd=str(app.window))["identity"]
    equal(identity, {"hwnd": str(app.window), "pid": app.pid, "process": "WeChat",
                     "processStart": window["started"], "title": "WeChat", "width": app.frame[2],
                     "height": app.frame[3], "minimized": False}, "identity")
    equal(desk.quillgate.ok("probe", id=str(app.window))["window"], window, "probe")
    desk.quillgate.ok("check", bound=identity)


@case
def closed_or_retitled_window_no_longer_verifies(desk):
    app, bound = desk.bound_chat()
    app.command("title Chat with Bob")
    equal(desk.quillgate.refused("check", bound=bound),
          "selected window identity or size changed; change=title", "retitled")
    retitled = desk.bind(app)
    equal(retitled["processStart"], bound["processStart"], "start time after retitling")
    app.send("quit")
    app.process.wait(10)
    equal(desk.quillgate.refused("check", bound=retitled), "selected window is unavailable", "closed")
    equal(desk.quillgate.refused("inspect", hwnd=str(app.window)), "selected window is unavailable", "inspect")


@case
def resized_window_is_a_size_change(desk):
    app, bound = desk.bound_chat()
    app.command("resize 700 500")
    deadline = time.monotonic() + 10
    while desk.window(app)["rect"]["width"] == app.frame[2]:
        expect(time.monotonic() < deadline, "the window was not resized")
        time.sleep(0.05)
    width, height = (int(v) for v in (desk.window(app)["rect"]["width"], desk.window(app)["rect"]["height"]))
    equal(desk.quillgate.refused("check", bound=bound),
          "selected window identity or size changed; change=size %dx%d->%dx%d"
          % (app.frame[2], app.frame[3], width, height), "resized")


@case
def minimised_window_is_refused_until_activated(desk):
    app, bound = desk.bound_chat()
    app.command("minimize")
    app.wait("state", minimized=True)
    equal(desk.window(app)["minimized"], True, "listed as minimised")
    since = time.monotonic()
    equal(desk.quillgate.refused("check", bound=bound), "selected window is minimized", "check")
    equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": "tab"}),
          "selected window is minimized", "execute")
    desk.wait_idle()
    identity = desk.quillgate.ok("activate", bound=bound)["identity"]
    equal(identity["minimized"], False, "activated identity minimised")
    app.wait("state", minimized=False)
    equal(app.input_events(since), [], "input while minimised")
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "tab"})
    app.wait("key", since, key="Tab")


@case
def activate_brings_the_window_back_in_front(desk):
    app, bound = desk.bound_chat()
    cover = desk.cover((150, 150, 400, 300))
    windows = desk.quillgate.ok("list")["windows"]
    ids = [w["id"] for w in windows]
    expect(ids.index(str(cover.window)) < ids.index(str(app.window)), "the newer window is not listed first")
    equal([w["process"] for w in windows if w["id"] == str(cover.window)], ["Notes"], "cover's process")
    since = time.monotonic()
    equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": "tab"}),
          "selected window lost focus; action cancelled; focus_source=other", "execute behind another window")
    desk.wait_idle()
    desk.quillgate.ok("activate", bound=bound)
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "tab"})
    app.wait("key", since, key="Tab")
    equal(cover.input_events(since), [], "input reaching the other window")
    # The user just typed (the posted key counts): activation waits for an idle user.
    equal(desk.quillgate.refused("activate", bound=bound),
          "selected window lost focus; action cancelled; focus_source=other", "activate while not idle")


@case
def status_reports_a_usable_desktop(desk):
    app, bound = desk.bound_chat()
    equal(desk.quillgate.ok("permissions"), {"ok": True, "screen": True, "accessibility": True}, "permissions")
    since = time.monotonic()
    desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "ctrl+a"})
    idle = desk.quillgate.ok("input-idle")
    # The key went in after `since`, so the desktop has been idle no longer
    # than that, however slowly a loaded machine answered.
    elapsed_ms = (time.monotonic() - since) * 1000
    expect(0 <= idle["idleMs"] <= elapsed_ms + 20,
           "idle %s ms right after a key sent %d ms ago" % (idle["idleMs"], elapsed_ms))
    equal(idle["heldKeys"], [], "keys still held after a chord")
    equal(idle["frontPid"], app.pid, "front pid")


@x11_case
def accessibility_bus_missing_is_untrusted_not_fatal(desk):
    app, bound = desk.bound_chat()
    env = dict(os.environ, QUILLGATE_DESKTOP="x11", AT_SPI_BUS_ADDRESS="unix:path=" + desk.workdir + "/no-bus")
    run = subprocess.run([desk.binary, "--server"], env=env, capture_output=True, timeout=30,
                         input=b'{"op":"permissions"}\n{"op":"check","bound":%s}\n' % dump(bound).encode())
    equal(run.returncode, 0, "exit status without an accessibility bus (stderr %r)" % run.stderr)
    equal(run.stdout.decode().splitlines(), [
        '{"accessibility":false,"ok":true,"screen":true}',
        '{"error":"MAC_ACCESSIBILITY_PERMISSION: 请在系统设置中允许Veskor使用辅助功能。","ok":false}'],
        "answers without an accessibility bus")


@x11_case
def x11_desktop_needs_a_reachable_x11_display(desk):
    sessions = {"no display": {"DISPLAY": None},
                "unreachable display": {"DISPLAY": ":%d" % (int(os.environ["DISPLAY"][1:]) + 500)},
                "wayland session": {"WAYLAND_DISPLAY": "wayland-0", "XDG_SESSION_TYPE": "wayland"}}
    for name, changes in sessions.items():
        env = dict(os.environ, QUILLGATE_DESKTOP="x11")
        for key, value in changes.items():
            if value is None:
                env.pop(key, None)
            else:
                env[key] = value
        run = subprocess.run([desk.binary, "--server"], env=env, capture_output=True, timeout=30,
                             input=b'{"op":"list"}\n')
        equal(run.returncode, 2, name + ": exit status")
        equal(run.stdout.decode(), "", name + ": output")
        lines = run.stderr.decode().splitlines()
        expect(len(lines) == 1 and lines[0].strip(), name + ": standard error should be one line: %r" % run.stderr)

