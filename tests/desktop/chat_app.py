"""The chat application of the desktop tests: a small GTK 3 window that looks,
to the window list and the accessibility tree, like the real chat client.

    python3 chat_app.py --log EVENTS --control FIFO [--name WeChat] [--title T]
                        [--geometry X,Y,W,H] [--cover] [--above] [--no-focus]

Start it with argv[0] set to its name: the process then carries that name in
its command line, and it sets its command name (/proc/<pid>/comm) itself, so
the window list names the owner as it names the real client.

The chat window has a conversation header (a plain coloured strip), a message
list with a right-click menu, a composer, a password field and a Send button.
With --cover it is a plain window of another application instead, used to
cover the chat window.

Every event it receives is appended to EVENTS as one JSON object a line, with
"t" (monotonic seconds) and "what": "ready" (once the window is mapped and
drawn, with the window's id, frame and widget rectangles in screen
coordinates), "press", "double", "release", "key", "scroll", "clicked",
"menu", "menu-shown", "shown", "response", "state", "header", "geometry",
"frozen", "thawed", and "done" once a command has taken effect.

Commands, one line each, written to the FIFO:
    header #RRGGBB       repaint the header; "header" is logged once it is on screen
    dialog [nested]      open the modal Confirm dialog; with nested, its OK
                         runs a second dialog in a nested main loop
    minimize             iconify the window
    focus WIDGET         give the keyboard focus to composer, password or send
    composer TEXT        replace the composer's text
    title TEXT           retitle the window
    resize W H           resize the window
    geometry             log the frame and widget rectangles again
    freeze SECONDS       block the main loop, logging "frozen" before and "thawed" after
    opacity VALUE        set the window's opacity (_NET_WM_WINDOW_OPACITY), 0 to 1
    input-through        give the window an empty input region: the pointer goes through it
    desktop N            move the window to virtual desktop N (from 0)
    hide, show           unmap the window, map it again
    move X Y             move the window (its frame's top-left corner)
    quit

With --overlay the window is override-redirect: no window manager frame, as
the overlays of screen tools and compositors are.
"""
import argparse
import ctypes
import json
import os
import sys
import time

PR_SET_NAME = 15
NAMED = ("header", "messages", "composer", "password", "send", "confirm", "sure", "cover", "menu")
MESSAGES = ("Hello", "Are you there?", "See you tomorrow")
MENU_ITEMS = ("Copy", "Forward", "Delete")
COMPOSER_TEXT = "draft message"
PASSWORD_TEXT = "secret-password"


def options():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--control", required=True)
    parser.add_argument("--name", default="WeChat")
    parser.add_argument("--title", default=None)
    parser.add_argument("--geometry", default="100,80,900,600")
    parser.add_argument("--cover", action="store_true")
    parser.add_argument("--above", action="store_true")
    parser.add_argument("--no-focus", action="store_true")
    parser.add_argument("--overlay", action="store_true")
    return parser.parse_args()


ARGS = options()
# The command name first, before any library starts a thread that would keep
# the interpreter's name.
ctypes.CDLL(None).prctl(PR_SET_NAME, ARGS.name.encode()[:15], 0, 0, 0)

import gi  # noqa: E402

gi.require_version("Gdk", "3.0")
gi.require_version("GdkX11", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gdk, GdkX11  # noqa: E402,F401

# The class and application names too, before the toolkit opens the display.
GLib.set_prgname(ARGS.name)
GLib.set_application_name(ARGS.name)
Gdk.set_program_class(ARGS.name)
from gi.repository import Gtk  # noqa: E402
import cairo  # noqa: E402

LOG = open(ARGS.log, "a", buffering=1, encoding="utf-8")


def log(what, **fields):
    LOG.write(json.dumps(dict(t=time.monotonic(), what=what, **fields), ensure_ascii=False) + "\n")


def named(widget):
    """The test name of a widget or of its nearest named ancestor."""
    while widget is not None:
        if widget.get_name() in NAMED:
            return widget.get_name()
        widget = widget.get_parent()
    return ""


def rect(r):
    return [r.x, r.y, r.width, r.height]


def screen_rect(widget):
    top = widget.get_toplevel()
    x, y = widget.translate_coordinates(top, 0, 0)
    _, ox, oy = top.get_window().get_origin()
    allocation = widget.get_allocation()
    return [ox + x, oy + y, allocation.width, allocation.height]


def modifiers(state):
    masks = (("control", Gdk.ModifierType.CONTROL_MASK), ("shift", Gdk.ModifierType.SHIFT_MASK),
             ("alt", Gdk.ModifierType.MOD1_MASK), ("super", Gdk.ModifierType.SUPER_MASK | Gdk.ModifierType.MOD4_MASK))
    return [name for name, mask in masks if state & mask]


class App:
    def __init__(self):
        x, y, width, height = (int(v) for v in ARGS.geometry.split(","))
        self.window = Gtk.Window(title=ARGS.title or ARGS.name,
                                 type=Gtk.WindowType.POPUP if ARGS.overlay else Gtk.WindowType.TOPLEVEL)
        self.window.set_default_size(width, height)
        self.window.move(x, y)
        self.window.set_keep_above(ARGS.above)
        if ARGS.no_focus:
            self.window.set_accept_focus(False)
            self.window.set_focus_on_map(False)
        self.window.connect("destroy", Gtk.main_quit)
        self.window.connect("window-state-event", self.on_state)
        self.minimized = False
        self.header_color = "#338cd9"
        self.logged_color = None
        self.ready = False
        self.widgets = {}
        if ARGS.cover:
            self.build_cover()
        else:
            self.build_chat()
        self.window.show_all()

    # --- building ---

    def build_cover(self):
        # Scrolls too are input a cover must log: the toplevel does not ask
        # for them by itself.
        self.window.add_events(Gdk.EventMask.SCROLL_MASK | Gdk.EventMask.SMOOTH_SCROLL_MASK)
        label = Gtk.Label(label="Notes")
        label.set_name("cover")
        self.window.add(label)
        self.widgets["cover"] = label
        label.connect_after("draw", self.after_first_draw)

    def build_chat(self):
        box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
        self.window.add(box)

        header = Gtk.DrawingArea()
        header.set_name("header")
        header.set_size_request(-1, 56)
        header.connect("draw", self.draw_header)
        box.pack_start(header, False, False, 0)

        messages = Gtk.ListBox()
        for text in MESSAGES:
            row = Gtk.Label(label=text, xalign=0)
            row.set_margin_start(12)
            row.set_margin_top(8)
            row.set_margin_bottom(8)
            messages.add(row)
        messages.connect("button-press-event", self.on_messages_press)
        scrolled = Gtk.ScrolledWindow()
        # Named as a whole: scroll events go to the scrolled window itself.
        scrolled.set_name("messages")
        scrolled.add(messages)
        box.pack_start(scrolled, True, True, 0)

        bottom = Gtk.Box(spacing=8)
        bottom.set_border_width(8)
        composer = Gtk.TextView()
        composer.set_name("composer")
        composer.set_size_request(-1, 80)
        composer.get_buffer().set_text(COMPOSER_TEXT)
        bottom.pack_start(composer, True, True, 0)
        side = Gtk.Box(orientation=Gtk.Orientation.VERTICAL, spacing=8)
        password = Gtk.Entry()
        password.set_name("password")
        password.set_visibility(False)
        password.set_text(PASSWORD_TEXT)
        side.pack_start(password, False, False, 0)
        send = Gtk.Button(label="Send")
        send.set_name("send")
        send.connect("clicked", lambda _b: log("clicked", widget="send"))
        side.pack_start(send, False, False, 0)
        bottom.pack_start(side, False, False, 0)
        box.pack_start(bottom, False, False, 0)

        self.menu = Gtk.Menu()
        self.menu.set_name("menu")
        for label in MENU_ITEMS:
            item = Gtk.MenuItem(label=label)
            item.connect("activate", lambda _i, label=label: log("menu", item=label))
            self.menu.append(item)
        # Large enough to count as a popup over the chat window.
        self.menu.set_size_request(220, 160)
        self.menu.show_all()
        self.menu.get_toplevel().connect("map-event", self.on_menu_mapped)

        self.widgets = {"header": header, "messages": scrolled, "composer": composer,
                        "password": password, "send": send}
        composer.grab_focus()

    # --- drawing and readiness ---

    def draw_header(self, _widget, cr):
        cr.set_source_rgb(*(int(self.header_color[i:i + 2], 16) / 255 for i in (1, 3, 5)))
        cr.paint()
        if self.logged_color != self.header_color:
            self.logged_color = self.header_color
            GLib.idle_add(self.on_painted, self.header_color)
        return False

    def after_first_draw(self, _widget, _cr):
        if not self.ready:
            GLib.idle_add(self.on_painted, None)
        return False

    def on_painted(self, color):
        # Once the server has the drawing, a capture sees it.
        Gdk.Display.get_default().sync()
        if color is not None:
            log("header", color=color)
        if not self.ready:
            self.ready = True
            log("ready", pid=os.getpid(), window=self.window.get_window().get_xid(), **self.geometry())
        return False

    def geometry(self):
        return {"frame": rect(self.window.get_window().get_frame_extents()),
                "widgets": {name: screen_rect(w) for name, w in self.widgets.items()}}

    # --- events ---

    def on_event(self, event):
        kind = event.get_event_type()
        if kind in (Gdk.EventType.BUTTON_PRESS, Gdk.EventType._2BUTTON_PRESS, Gdk.EventType.BUTTON_RELEASE):
            what = {Gdk.EventType.BUTTON_PRESS: "press", Gdk.EventType._2BUTTON_PRESS: "double",
                    Gdk.EventType.BUTTON_RELEASE: "release"}[kind]
            _, x, y = event.get_root_coords()
            log(what, button=event.get_button()[1], x=round(x), y=round(y),
                widget=named(Gtk.get_event_widget(event)), mods=modifiers(event.get_state()[1]))
        elif kind == Gdk.EventType.KEY_PRESS:
            top = Gtk.get_event_widget(event)
            focus = top.get_toplevel().get_focus() if top is not None else None
            log("key", key=Gdk.keyval_name(event.get_keyval()[1]), mods=modifiers(event.get_state()[1]),
                widget=named(focus) if focus is not None else "")
        elif kind == Gdk.EventType.SCROLL:
            _, x, y = event.get_root_coords()
            direction = event.get_scroll_direction()
            log("scroll", direction=direction[1].value_nick if direction[0] else "smooth",
                x=round(x), y=round(y), widget=named(Gtk.get_event_widget(event)))
        Gtk.main_do_event(event)

    def on_state(self, _window, event):
        minimized = bool(event.new_window_state & Gdk.WindowState.ICONIFIED)
        if minimized != self.minimized:
            self.minimized = minimized
            log("state", minimized=minimized)
        return False

    def on_messages_press(self, _widget, event):
        if event.type == Gdk.EventType.BUTTON_PRESS and event.button == 3:
            self.menu.popup_at_pointer(event)
            return True
        return False

    def on_menu_mapped(self, toplevel, _event):
        GLib.idle_add(lambda: log("menu-shown", frame=rect(toplevel.get_window().get_frame_extents())) and False)
        return False

    # --- dialogs ---

    def dialog(self, name, text):
        dialog = Gtk.Dialog(title="Confirm" if name == "confirm" else "Are you sure?",
                            transient_for=self.window, modal=True)
        dialog.set_name(name)
        dialog.add_button("Cancel", Gtk.ResponseType.CANCEL)
        dialog.add_button("OK", Gtk.ResponseType.OK)
        dialog.set_default_size(360, 200)
        dialog.get_content_area().pack_start(Gtk.Label(label=text), True, True, 0)
        dialog.connect("map-event", self.on_dialog_mapped)
        dialog.show_all()
        return dialog

    def on_dialog_mapped(self, dialog, _event):
        def shown():
            log("shown", dialog=dialog.get_name(), frame=rect(dialog.get_window().get_frame_extents()))
            return False
        GLib.idle_add(shown)
        return False

    def open_dialog(self, nested):
        dialog = self.dialog("confirm", "Delete this chat?")
        dialog.connect("response", self.on_response, nested)

    def on_response(self, dialog, response, nested):
        log("response", dialog=dialog.get_name(), response=response_name(response))
        dialog.destroy()
        if nested and response == Gtk.ResponseType.OK:
            # A second modal dialog in a nested main loop, inside the
            # handler of the press that closed the first one.
            sure = self.dialog("sure", "This cannot be undone.")
            answer = sure.run()
            log("response", dialog="sure", response=response_name(answer))
            sure.destroy()

    # --- control ---

    def command(self, line):
        word, _, rest = line.partition(" ")
        if word == "header":
            self.header_color = rest.strip()
            self.widgets["header"].queue_draw()
        elif word == "dialog":
            self.open_dialog(rest.strip() == "nested")
        elif word == "minimize":
            self.window.iconify()
        elif word == "focus":
            self.widgets[rest.strip()].grab_focus()
        elif word == "composer":
            self.widgets["composer"].get_buffer().set_text(rest)
        elif word == "title":
            self.window.set_title(rest)
        elif word == "resize":
            self.window.resize(*(int(v) for v in rest.split()))
        elif word == "geometry":
            log("geometry", **self.geometry())
        elif word == "freeze":
            log("frozen", seconds=float(rest))
            time.sleep(float(rest))
            log("thawed")
        elif word == "opacity":
            self.window.set_opacity(float(rest))
        elif word == "input-through":
            self.window.input_shape_combine_region(cairo.Region())
        elif word == "move":
            self.window.move(*(int(v) for v in rest.split()))
        elif word == "hide":
            self.window.hide()
        elif word == "show":
            self.window.show()
        elif word == "desktop":
            self.window.get_window().move_to_desktop(int(rest))
        elif word == "quit":
            Gtk.main_quit()
        else:
            log("unknown-command", line=line)


def response_name(response):
    return {Gtk.ResponseType.OK: "ok", Gtk.ResponseType.CANCEL: "cancel",
            Gtk.ResponseType.DELETE_EVENT: "delete"}.get(response, str(int(response)))


class Control:
    """Command lines from the FIFO, read as they come without ever seeing its end."""

    def __init__(self, path, app):
        self.app = app
        self.pending = b""
        self.fd = os.open(path, os.O_RDWR | os.O_NONBLOCK)
        GLib.io_add_watch(self.fd, GLib.PRIORITY_DEFAULT, GLib.IO_IN, self.on_input)

    def on_input(self, _fd, _condition):
        try:
            self.pending += os.read(self.fd, 65536)
        except BlockingIOError:
            return True
        *lines, self.pending = self.pending.split(b"\n")
        for line in lines:
            if line.strip():
                self.app.command(line.decode())
                GLib.idle_add(self.done, line.decode())
        return True

    def done(self, line):
        # After the toolkit's own idle work and a round trip to the server,
        # the command's effect is visible to other clients.
        Gdk.Display.get_default().sync()
        log("done", command=line)
        return False


def main():
    # Nothing on screen changes by itself: two pictures of an unchanged
    # window are the same picture.
    settings = Gtk.Settings.get_default()
    settings.set_property("gtk-cursor-blink", False)
    settings.set_property("gtk-enable-animations", False)
    app = App()
    Gdk.event_handler_set(app.on_event)
    Control(ARGS.control, app)
    Gtk.main()


if __name__ == "__main__":
    sys.exit(main())
