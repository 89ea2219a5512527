"""The Mac's keyboard, changed as a user's hands change it: modifier keys
held down for the whole session, posted by the AppKit test application (its
commands hold, let-go and held) at the HID level, where the system keeps the
keyboard's state."""
import time

from driver import expect


class MacKeyboard:
    """Modifier keys (Shift_L, Control_L, Super_L) held through one running test application."""

    def __init__(self, app):
        self.app = app
        self.holding = set()

    def hold(self, name):
        """Presses the key and leaves it down."""
        self.post(name, True)
        self.holding.add(name)

    def let_go(self, name):
        self.post(name, False)
        self.holding.discard(name)

    def post(self, name, down):
        since = time.monotonic()
        self.app.command(("hold " if down else "let-go ") + name)
        expect(self.app.wait("modifier", since, key=name)["ok"], "the application could not post %s" % name)

    def down(self, name):
        """Whether the system's modifier flags have that key's modifier down."""
        since = time.monotonic()
        self.app.command("held " + name)
        return self.app.wait("held", since, key=name)["down"]

    def close(self):
        """Lets go of the keys still held: the session outlives the case."""
        if self.app.process.poll() is None:
            for name in sorted(self.holding):
                self.let_go(name)
