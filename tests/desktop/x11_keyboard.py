"""The test desktop's keyboard, changed as a user would: layouts and their
groups (setxkbmap, XKB group locks) and keys held down (XTest), through the
system's Xlib by ctypes."""
import ctypes
import subprocess

from driver import Failure

XKB_USE_CORE_KBD = 0x100


class Keyboard:
    """A connection of its own to the test desktop's display."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XkbLockGroup.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_uint]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XQueryKeymap.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise Failure("cannot open the display")

    def keycode(self, name):
        return self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))

    def hold(self, name):
        """Presses the key with that keysym and leaves it down."""
        self.fake(name, True)

    def let_go(self, name):
        """Lets go of the key with that keysym."""
        self.fake(name, False)

    def fake(self, name, down):
        self.xtst.XTestFakeKeyEvent(self.display, self.keycode(name), int(down), 0)
        self.x11.XSync(self.display, 0)

    def down(self, name):
        """Whether the server has the key with that keysym down."""
        keys = ctypes.create_string_buffer(32)
        self.x11.XQueryKeymap(self.display, keys)
        code = self.keycode(name)
        return bool(keys.raw[code // 8] >> (code % 8) & 1)

    def layout(self, layouts):
        """Sets the layouts, "us,fr" for two groups; group 1 is in use."""
        subprocess.run(["setxkbmap", "-layout", layouts], check=True, timeout=10)

    def lock_group(self, group):
        """Makes a group (from 0) the one in use, as a group switch key does."""
        self.x11.XkbLockGroup(self.display, XKB_USE_CORE_KBD, group)
        self.x11.XSync(self.display, 0)

    def close(self):
        self.x11.XCloseDisplay(self.display)
