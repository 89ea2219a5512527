"""What quillgate does when the desktop under it fails: a display server
that stops answering, one that is killed, an accessibility bus that goes
away, and the doctor's advice on this desktop."""
import json
import os
import select
import signal
import subprocess
import time

from driver import Quillgate, x11_case, equal, expect

# A request reading a stopped display answers within this; a live server
# answers in milliseconds, a stopped one never.
STOPPED_ANSWER_SECONDS = 6
# How long a process that lost its desktop may take to end.
END_SECONDS = 10


def desktop_piece(name):
    """The pid of a piece of this desktop (a child of scripts/test-desktop) by its command name."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        comm = stat[stat.index("(") + 1:stat.rindex(")")]
        parent = int(stat[stat.rindex(")") + 2:].split()[1])
        if parent == os.getppid() and comm.startswith(name):
            return int(entry)
    raise AssertionError("no %s on this desktop" % name)


def gone(pid):
    """Whether the process has ended (a zombie has: its sockets are closed)."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except FileNotFoundError:
        return True


def wait_gone(pid):
    deadline = time.monotonic() + END_SECONDS
    while not gone(pid):
        expect(time.monotonic() < deadline, "process %d did not end" % pid)
        time.sleep(0.02)


def ends_without_answer(quillgate, op):
    """Sends op and expects the process to end without answering; its exit
    status and standard error."""
    quillgate.process.stdin.write(b'{"op":"%s"}\n' % op.encode())
    quillgate.process.stdin.flush()
    deadline = time.monotonic() + END_SECONDS
    output = b""
    while True:
        left = deadline - time.monotonic()
        expect(left > 0, "quillgate did not end after %s; it wrote %r" % (op, output))
        readable, _, _ = select.select([quillgate.process.stdout], [], [], left)
        if readable:
            chunk = os.read(quillgate.process.stdout.fileno(), 1 << 20)
            if not chunk:
                break
            output += chunk
    expect(output == b"", "quillgate answered %s after losing its desktop: %r" % (op, output))
    return quillgate.process.wait(END_SECONDS), quillgate.stderr()


@x11_case
def stopped_display_answers_in_time_and_serves_again_once_resumed(desk):
    app, bound = desk.bound_chat()
    desk.quillgate.ok("capture", bound=bound)
    server = desktop_piece("Xvfb")
    os.kill(server, signal.SIGSTOP)
    try:
        answers = {}
        for op, keys in (("list", {}), ("input-idle", {}), ("capture", {"bound": bound})):
            answers[op] = desk.quillgate.request(op, timeout=STOPPED_ANSWER_SECONDS * 3, **keys)
            expect(desk.quillgate.elapsed < STOPPED_ANSWER_SECONDS,
                   "%s took %.1f s on a stopped display" % (op, desk.quillgate.elapsed))
    finally:
        os.kill(server, signal.SIGCONT)
    # An unreadable window list: nothing listed, the bound window unavailable.
    equal(answers["list"], {"ok": True, "windows": []}, "list")
    equal(answers["capture"], {"ok": False, "error": "selected window is unavailable"}, "capture")
    expect(answers["input-idle"].get("ok") is True, "input-idle: %s" % answers["input-idle"])
    desk.window(app)
    shot = desk.quillgate.ok("capture", bound=bound)
    equal((shot["width"], shot["height"]), (app.frame[2], app.frame[3]), "picture size after resuming")


def ends_when_lost(desk, op, lose, named):
    """A second quillgate, used once, then the desktop piece lose() kills:
    the next op must end it with status 3 and one line naming what it lost."""
    desk.window(desk.chat())
    lost = Quillgate(desk.binary, desk.workdir, label="lost")
    before = lost.ok(op)
    pid = lose()
    wait_gone(pid)
    status, stderr = ends_without_answer(lost, op)
    equal(status, 3, "exit status")
    lines = stderr.splitlines()
    expect(len(lines) == 1 and named in lines[0], "standard error should be one line naming %s: %r" % (named, stderr))
    return before


def kill_display():
    server = desktop_piece("Xvfb")
    os.kill(server, signal.SIGKILL)
    return server


def kill_accessibility_bus():
    launcher = desktop_piece("at-spi-bus-laun")
    # The launcher, its bus and the registry are one process group.
    os.killpg(launcher, signal.SIGKILL)
    return launcher


@x11_case
def killed_display_ends_the_process(desk):
    ends_when_lost(desk, "list", kill_display, os.environ["DISPLAY"])


@x11_case
def accessibility_bus_gone_ends_the_process(desk):
    before = ends_when_lost(desk, "permissions", kill_accessibility_bus, "accessibility bus")
    equal(before["accessibility"], True, "accessibility before")


@x11_case
def doctor_gives_this_desktops_advice(desk):
    env = dict(os.environ, QUILLGATE_DESKTOP="x11", TMPDIR=desk.workdir,
               AT_SPI_BUS_ADDRESS="unix:path=" + os.path.join(desk.workdir, "no-bus"))
    env.pop("QUILLGATE_SCENE", None)
    # Started through another program, whose name must not be offered as
    # the holder of a grant.
    run = subprocess.run(["timeout", "60", desk.binary, "--doctor", "--json"], env=env, capture_output=True,
                         text=True, timeout=90)
    report = run.stdout
    checks = {check["check"]: check for check in json.loads(report)["checks"]}
    equal(checks["accessibility"]["status"], "FAIL", "accessibility without its bus")
    expect("accessibility bus" in checks["accessibility"]["advice"], "no advice about the accessibility bus:\n" + report)
    expect(os.environ["DISPLAY"] in checks["screen recording"]["detail"], "the display is not named:\n" + report)
    expect("System Settings" not in report and "timeout" not in report,
           "the Mac's advice or the launching program in the report:\n" + report)
