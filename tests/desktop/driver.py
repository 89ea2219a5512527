"""What the desktop tests share: quillgate in server mode on the X11 desktop,
the test chat application with its event log and control FIFO, and the few
reckonings between screen points and the protocol's window-relative values.
Standard library only; the application needs the system's python3-gi.
"""
import base64
import json
import os
import select
import struct
import subprocess
import sys
import time
import zlib

HERE = os.path.dirname(os.path.realpath(__file__))
CHAT_APP = os.path.join(HERE, "chat_app.py")
# The desktop the cases drive: the X11 desktop with the GTK application, or
# on a Mac the session's own desktop with the AppKit one (tests/desktop/mac).
MAC = sys.platform == "darwin"
REAL_DESKTOP = "macos" if MAC else "x11"
# The modifier of the shortcut chords (ctrl+a, cmd+enter), as the application names it.
SHORTCUT = "command" if MAC else "control"
# Long enough for a loaded machine, short enough that a hang shows as a failure.
STEP_SECONDS = 15

CASES = {}
# The desktops ("x11", "macos") each case applies to.
DESKTOPS = {}


def case(function, desktops=("x11", "macos")):
    """Registers a test case under its function's name."""
    CASES[function.__name__] = function
    DESKTOPS[function.__name__] = desktops
    return function


def x11_case(function):
    """A case about what only the X11 desktop has."""
    return case(function, ("x11",))


def mac_case(function):
    """A case about what only the macOS desktop has."""
    return case(function, ("macos",))


def app_command(name):
    """The argument list's start and the executable that start the test application as name."""
    if MAC:
        program = os.path.join(os.environ["QUILLGATE_TEST_APPS"], name + ".app", "Contents", "MacOS", name)
        return [program], program
    # argv[0] is the name the process shows, the interpreter runs it.
    return [name, CHAT_APP], sys.executable


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def equal(actual, expected, what):
    expect(actual == expected, "%s: %s, expected %s" % (what, dump(actual), dump(expected)))


def dump(value):
    return json.dumps(value, ensure_ascii=False, sort_keys=True)


class App:
    """One running instance of the test application and its event log."""

    def __init__(self, workdir, label, name, geometry, cover=False, above=False, no_focus=False, title=None,
                 overlay=False, env=None, click_through=False):
        self.label = label
        self.log_path = os.path.join(workdir, label + ".events.jsonl")
        self.control_path = os.path.join(workdir, label + ".control")
        self.output_path = os.path.join(workdir, label + ".output")
        os.mkfifo(self.control_path)
        start, executable = app_command(name)
        argv = start + ["--log", self.log_path, "--control", self.control_path, "--name", name,
                        "--geometry", ",".join(str(v) for v in geometry)]
        argv += ["--cover"] * cover + ["--above"] * above + ["--no-focus"] * no_focus
        argv += ["--click-through"] * click_through  # the AppKit application's only
        argv += ["--title", title] if title else []
        argv += ["--overlay"] * overlay
        with open(self.output_path, "wb") as output:
            # argv[0] is the name the process shows, the interpreter runs it.
            self.process = subprocess.Popen(argv, executable=executable, stdin=subprocess.DEVNULL,
                                            stdout=output, stderr=output, env=dict(os.environ, **(env or {})))
        self.ready = self.wait("ready")
        self.pid = self.ready["pid"]
        self.window = self.ready["window"]
        self.frame = self.ready["frame"]
        self.widgets = self.ready["widgets"]

    def events(self, what=None, since=0.0):
        try:
            with open(self.log_path, encoding="utf-8") as f:
                records = [json.loads(line) for line in f if line.endswith("\n")]
        except FileNotFoundError:
            records = []
        return [r for r in records if r["t"] >= since and (what is None or r["what"] == what)]

    def wait(self, what, since=0.0, timeout=STEP_SECONDS, **fields):
        """The first record of that kind (with those fields) logged at or after since."""
        deadline = time.monotonic() + timeout
        while True:
            for record in self.events(what, since):
                if all(record.get(k) == v for k, v in fields.items()):
                    return record
            if self.process.poll() is not None:
                raise Failure("%s exited with status %s before logging %s:\n%s"
                              % (self.label, self.process.returncode, what, self.output()))
            if time.monotonic() > deadline:
                raise Failure("%s logged no %s %s within %d s" % (self.label, what, dump(fields), timeout))
            time.sleep(0.01)

    def wait_many(self, what, count, since, timeout=STEP_SECONDS):
        """All records of that kind since then, once there are at least count of them."""
        deadline = time.monotonic() + timeout
        while len(self.events(what, since)) < count:
            if time.monotonic() > deadline:
                raise Failure("%s logged %d %s, expected %d" % (self.label, len(self.events(what, since)), what, count))
            time.sleep(0.01)
        return self.events(what, since)

    def send(self, line):
        with open(self.control_path, "w") as control:
            control.write(line + "\n")

    def command(self, line):
        """Sends a command and waits until it has taken effect."""
        since = time.monotonic()
        self.send(line)
        self.wait("done", since, command=line)

    def input_events(self, since):
        """Presses, keys, scrolls and activations the application received."""
        return [r for r in self.events(since=since)
                if r["what"] in ("press", "double", "release", "key", "scroll", "clicked", "menu", "response")]

    def output(self):
        try:
            with open(self.output_path, encoding="utf-8", errors="replace") as f:
                return f.read()[-2000:]
        except FileNotFoundError:
            return ""

    def stop(self):
        finish(self.process, self.process.terminate)


def finish(process, ask):
    """Asks a process to end; kills it when it has not within 5 s."""
    if process.poll() is None:
        ask()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Quillgate:
    """quillgate --server on the real desktop, one request line at a time."""

    def __init__(self, binary, workdir, scene=None, label="quillgate"):
        """On the real desktop (X11 or macOS); on the simulated desktop when given a scene file."""
        if scene is None:
            env = dict(os.environ, QUILLGATE_DESKTOP=REAL_DESKTOP, TMPDIR=workdir)
            env.pop("QUILLGATE_SCENE", None)
        else:
            env = dict(os.environ, QUILLGATE_SCENE=scene, QUILLGATE_DESKTOP="sim", TMPDIR=workdir)
        self.stderr_path = os.path.join(workdir, label + ".stderr")
        with open(self.stderr_path, "wb") as stderr:
            self.process = subprocess.Popen([binary, "--server"], env=env, stdin=subprocess.PIPE,
                                            stdout=subprocess.PIPE, stderr=stderr)
        self.pending = b""
        self.elapsed = 0.0

    def request(self, op, timeout=STEP_SECONDS, **keys):
        """The response object; self.elapsed is how long it took."""
        self.send(op, **keys)
        return self.answer(op, timeout)

    def send(self, op, **keys):
        """Writes a request line without waiting for its answer."""
        self.began = time.monotonic()
        self.process.stdin.write(dump(dict(op=op, **keys)).encode() + b"\n")
        self.process.stdin.flush()

    def answer(self, op, timeout=STEP_SECONDS):
        """The response to the request sent last."""
        began = self.began
        deadline = began + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0:
                raise Failure("no answer to %s within %d s" % (op, timeout))
            readable, _, _ = select.select([self.process.stdout], [], [], left)
            if readable:
                chunk = os.read(self.process.stdout.fileno(), 1 << 20)
                if not chunk:
                    raise Failure("quillgate ended (status %s) before answering %s: %s"
                                  % (self.process.wait(), op, self.stderr()))
                self.pending += chunk
        self.elapsed = time.monotonic() - began
        answer, self.pending = self.pending.split(b"\n", 1)
        return json.loads(answer)

    def ok(self, op, **keys):
        """The response of a request that must succeed."""
        response = self.request(op, **keys)
        expect(response.get("ok") is True, "%s failed: %s" % (op, dump(response)))
        return response

    def refused(self, op, **keys):
        """The error message of a request that must fail."""
        response = self.request(op, **keys)
        expect(response.get("ok") is False, "%s should have been refused: %s" % (op, dump(response)))
        return response["error"]

    def stderr(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            return f.read()[-2000:]

    def stop(self):
        finish(self.process, self.process.stdin.close)

    def end(self):
        """Ends the server at the end of its input; it must leave with status 0
        and nothing on standard error (a sanitizer's report is a failure)."""
        self.stop()
        expect(self.process.returncode == 0 and not self.stderr(),
               "quillgate ended with status %d: %s" % (self.process.returncode, self.stderr()))


class Desk:
    """What one case works with: quillgate and the applications it started."""

    CHAT_GEOMETRY = (100, 80, 900, 600)

    def __init__(self, binary, workdir):
        self.binary = binary
        self.workdir = workdir
        self.apps = []
        self.quillgate = Quillgate(binary, workdir)

    def chat(self, **options):
        return self.app("chat", "WeChat", self.CHAT_GEOMETRY, **options)

    def cover(self, geometry, **options):
        return self.app("cover", "Notes", geometry, cover=True, **options)

    def app(self, label, name, geometry, **options):
        app = App(self.workdir, label, name, geometry, **options)
        self.apps.append(app)
        return app

    def bound_chat(self, **options):
        """A started chat application and the binding of its window."""
        app = self.chat(**options)
        return app, self.bind(app)

    def window(self, app):
        """The list entry of the app's window, once quillgate lists it."""
        deadline = time.monotonic() + STEP_SECONDS
        while True:
            listed = [w for w in self.quillgate.ok("list")["windows"] if w["id"] == str(app.window)]
            if listed:
                return listed[0]
            if time.monotonic() > deadline:
                raise Failure("window %d of %s is not listed" % (app.window, app.label))
            time.sleep(0.05)

    def bind(self, app):
        """The identity of the app's window, as the host binds it."""
        self.window(app)
        return self.quillgate.ok("inspect", hwnd=str(app.window))["identity"]

    def wait_idle(self, milliseconds=1300):
        """Waits until the desktop has seen no input for that long."""
        deadline = time.monotonic() + STEP_SECONDS
        while self.quillgate.ok("input-idle")["idleMs"] < milliseconds:
            expect(time.monotonic() < deadline, "the desktop never became idle")
            time.sleep(0.1)

    def stop(self):
        self.quillgate.stop()
        for app in self.apps:
            app.stop()

    def diagnosis(self):
        parts = ["quillgate stderr: " + self.quillgate.stderr().strip()]
        for app in self.apps:
            parts.append("%s events:\n%s" % (app.label, "\n".join(dump(r) for r in app.events()[-15:])))
            if app.output().strip():
                parts.append("%s output:\n%s" % (app.label, app.output()))
        return "\n".join(parts)


# --- reckoning between the screen and the protocol ---

def centre(rect):
    x, y, width, height = rect
    return x + width // 2, y + height // 2


def fraction(frame, point):
    """The request fractions that quillgate maps to this screen point of the window."""
    fx, fy, width, height = frame
    px, py = point
    return {"x": (px - fx + 0.5) / (width - 1), "y": (py - fy + 0.5) / (height - 1)}


def relative(frame, rect, inset=0):
    """A screen rectangle as a region relative to the window frame, shrunk by inset on each side."""
    return {"x": rect[0] - frame[0] + inset, "y": rect[1] - frame[1] + inset,
            "width": rect[2] - 2 * inset, "height": rect[3] - 2 * inset}


def frame_of(window):
    r = window["rect"]
    return [r["x"], r["y"], r["width"], r["height"]]


# --- pictures ---

def decode_png(encoded, rows=None):
    """(width, height, rows of RGBA bytes) of a Base64 PNG, 8-bit RGB or RGBA, not
    interlaced; only its first rows when a count is given (decoding is slow here)."""
    data = base64.b64decode(encoded, validate=True)
    expect(data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG")
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    expect(depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG format %s" % (header,))
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    decoded, previous = [], bytes(stride)
    for y in range(height if rows is None else min(rows, height)):
        kind, line = raw[y * (stride + 1)], raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)]
        line = unfilter(kind, line, previous, channels)
        previous = line
        if channels == 3:
            line = b"".join(line[i:i + 3] + b"\xff" for i in range(0, stride, 3))
        decoded.append(line)
    return width, height, decoded


def unfilter(kind, line, previous, channels):
    if kind == 0:
        return bytes(line)
    if kind == 2:
        return bytes(map(lambda a, b: (a + b) & 255, line, previous))
    out = bytearray(line)
    for i in range(len(out)):
        left = out[i - channels] if i >= channels else 0
        up, corner = previous[i], previous[i - channels] if i >= channels else 0
        if kind == 1:
            out[i] = (out[i] + left) & 255
        elif kind == 3:
            out[i] = (out[i] + (left + up) // 2) & 255
        else:
            p = left + up - corner
            pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
            out[i] = (out[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
    return bytes(out)


def pixel(picture, x, y):
    """The RGBA bytes of one pixel of a decoded picture."""
    return tuple(picture[2][y][4 * x:4 * x + 4])
