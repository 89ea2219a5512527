"""An input method composing in the composer: a key would go to it, so none is posted.

IBus runs with the Intelligent Pinyin engine; the chat application uses it
through GTK's IBus module. Typing pinyin opens a composition in the composer
and IBus's candidate list on screen.
"""
import os
import signal
import subprocess
import time

from driver import STEP_SECONDS, Failure, x11_case, equal, expect, finish, relative

COMPOSING = "input method is composing text; action cancelled"
PINYIN = "nihao"
SETTLE_SECONDS = 0.5


class InputMethod:
    """ibus-daemon with its panel, settings in memory, on the test desktop's session bus."""

    def __init__(self, workdir):
        self.log_path = os.path.join(workdir, "ibus.log")
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(
                ["ibus-daemon", "--panel=/usr/libexec/ibus-ui-gtk3", "--config=/usr/libexec/ibus-memconf"],
                stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
        deadline = time.monotonic() + STEP_SECONDS
        while subprocess.run(["ibus", "address"], capture_output=True).returncode != 0:
            if time.monotonic() > deadline:
                raise Failure("ibus-daemon did not start")
            time.sleep(0.1)
        # The toolkit picks its module when the application starts.
        os.environ["GTK_IM_MODULE"] = "ibus"

    def use(self, engine):
        deadline = time.monotonic() + STEP_SECONDS
        while True:
            subprocess.run(["ibus", "engine", engine], capture_output=True)
            if subprocess.run(["ibus", "engine"], capture_output=True, text=True).stdout.strip() == engine:
                return
            if time.monotonic() > deadline:
                raise Failure("ibus did not switch to %s" % engine)
            time.sleep(0.2)

    def stop(self):
        # Its panel, engine and extension run in its process group.
        finish(self.process, lambda: os.killpg(self.process.pid, signal.SIGTERM))
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def composer_text(desk, app, bound):
    return desk.quillgate.ok("composer-text", bound=bound, region=relative(app.frame, app.widgets["composer"])).get("text")


def compose(desk, app, bound, attempts=3):
    """Types the pinyin until the input method composes it rather than
    passing it on: the application's input context may join the input method
    a moment after the engine is switched, all the more on a loaded machine.
    The time the composing keys began."""
    for _ in range(attempts):
        since = time.monotonic()
        subprocess.run(["xdotool", "type", "--delay", "60", PINYIN], check=True)
        app.wait_many("key", len(PINYIN), since)
        time.sleep(SETTLE_SECONDS)
        if composer_text(desk, app, bound) == "draft message":
            return since
        app.command("composer draft message")
        time.sleep(SETTLE_SECONDS)
    raise Failure("the input method passed the pinyin on instead of composing it, %d times" % attempts)


@x11_case
def enter_while_an_input_method_composes_is_refused(desk):
    ime = InputMethod(desk.workdir)
    try:
        app, bound = desk.bound_chat()
        app.command("focus composer")
        ime.use("libpinyin")
        # Nothing composed yet: keys go through.
        since = time.monotonic()
        desk.quillgate.ok("execute", bound=bound, action={"kind": "key", "key": "end"})
        app.wait("key", since, key="End")
        # The input method hands a key it does not take back to the
        # application, which may then see it twice; let that pass first.
        time.sleep(SETTLE_SECONDS)
        since = compose(desk, app, bound)
        answer = desk.quillgate.request("execute", bound=bound, action={"kind": "key", "key": "enter"})
        if answer.get("ok") is not False:
            raise Failure("enter during the composition was posted: %s; the draft is now %r"
                          % (answer, composer_text(desk, app, bound)))
        equal(answer["error"], COMPOSING, "enter during the composition")
        equal(desk.quillgate.refused("execute", bound=bound, action={"kind": "key", "key": "escape"}), COMPOSING,
              "escape during the composition")
        # The composition is not in the draft; the draft is as it was.
        equal(composer_text(desk, app, bound), "draft message", "draft during the composition")
        equal([r["key"] for r in app.events("key", since) if r["key"] not in list(PINYIN)], [], "keys posted")
        # The user ends the composition; keys go through again.
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        app.wait("key", since, key="Escape")
        since = time.monotonic()
        deadline = time.monotonic() + STEP_SECONDS
        while desk.quillgate.request("execute", bound=bound, action={"kind": "key", "key": "end"}).get("ok") is not True:
            expect(time.monotonic() < deadline, "keys still refused after the composition ended")
            time.sleep(0.1)
        app.wait("key", since, key="End")
        equal(composer_text(desk, app, bound), "draft message", "draft after the composition")
    finally:
        ime.stop()
