"""A dialog's application dying while "popup-press" presses it: nothing may reach the window beneath."""
import ctypes
import subprocess
import threading
import time

from driver import Failure, x11_case, dump, equal, expect

# Where the dialog's OK button lies, a window of another application underneath.
BENEATH = (300, 200, 500, 400)
# The moments of the kill: seconds after the request was sent, or after the
# pointer has moved onto the dialog to click it.
MOMENTS = (("sent", 0.012), ("sent", 0.046), ("pointer", 0), ("pointer", 0.01), ("pointer", 0.025),
           ("pointer", 0.04))
AFTER_SECONDS = 1.0


class Pointer:
    """Where the pointer is, asked of the X server straight (a helper program
    would take longer to start than a click takes)."""

    def __init__(self):
        self.xlib = ctypes.CDLL("libX11.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        window, number = ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int)
        self.xlib.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, window, window, number, number,
                                            number, number, ctypes.POINTER(ctypes.c_uint)]
        self.display = self.xlib.XOpenDisplay(None)
        expect(self.display, "cannot open the display")
        self.root = self.xlib.XDefaultRootWindow(self.display)

    def where(self):
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        x, y, wx, wy, mask = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint()
        self.xlib.XQueryPointer(self.display, self.root, root, child, x, y, wx, wy, mask)
        return x.value, y.value

    def close(self):
        self.xlib.XCloseDisplay(self.display)


def inside(rect, point):
    x, y, width, height = rect
    return x <= point[0] < x + width and y <= point[1] < y + height


class Killer(threading.Thread):
    """Kills the application at the moment, or once the answer has come;
    `killed` is when it did."""

    def __init__(self, app, moment, dialog, sent):
        super().__init__(daemon=True)
        self.app, self.moment, self.dialog, self.sent = app, moment, dialog, sent
        self.answered = threading.Event()
        self.killed = None
        self.start()

    def run(self):
        after, seconds = self.moment
        start = self.sent
        if after == "pointer":
            pointer = Pointer()
            while not inside(self.dialog, pointer.where()) and not self.answered.is_set():
                time.sleep(0.001)
            pointer.close()
            start = time.monotonic()
        self.answered.wait(max(0.0, start + seconds - time.monotonic()))
        self.app.process.kill()
        self.killed = time.monotonic()


@x11_case
def press_on_a_dialog_whose_application_dies_reaches_nothing_beneath(desk):
    beneath = desk.app("beneath", "Notes", BENEATH, cover=True)
    outcomes = []
    for trial, moment in enumerate(MOMENTS):
        subprocess.run(["xdotool", "mousemove", "5", "5"], check=True)
        app = desk.app("chat%d" % trial, "WeChat", desk.CHAT_GEOMETRY)
        bound = desk.bind(app)
        app.command("dialog")
        dialog = app.wait("shown", dialog="confirm")["frame"]
        expect(inside(BENEATH, (dialog[0] + dialog[2] - 20, dialog[1] + dialog[3] - 20)),
               "the dialog's buttons are not over the window beneath: %s" % dialog)
        since = time.monotonic()
        killer = Killer(app, moment, dialog, since)
        response = desk.quillgate.request("popup-press", bound=bound, labels=["OK"])
        answered = time.monotonic()
        killer.answered.set()
        killer.join(10)
        app.process.wait(5)
        time.sleep(AFTER_SECONDS)
        # A press the application took before it died was a press; one it
        # could not take, because it was gone before the answer, was none.
        died_first = killer.killed is not None and killer.killed < answered
        outcomes.append((moment, died_first, response, beneath.input_events(since)))
    wrong = ["killed %s s after the %s%s: answer %s, the window beneath received %s"
             % (moment[1], moment[0], "" if died_first else " (after the answer)", dump(response), dump(received))
             for moment, died_first, response, received in outcomes
             if received or (died_first and response.get("ok") is True and response.get("pressed") is True)]
    if wrong:
        raise Failure("%d of %d trials went wrong:\n%s" % (len(wrong), len(outcomes), "\n".join(wrong)))
    equal(beneath.process.poll(), None, "the application beneath")
