"""Reading text through the accessibility tree: the composer, the tree dump, and an application that stops answering."""
import time

from driver import case, dump, equal, expect, relative

PASSWORD = "secret-password"
# What a request may take when the application does not answer at all.
BOUNDED_SECONDS = 5


@case
def composer_text_reads_the_composer(desk):
    app, bound = desk.bound_chat()
    region = relative(app.frame, app.widgets["composer"])
    equal(desk.quillgate.ok("composer-text", bound=bound, region=region), {"ok": True, "text": "draft message"},
          "focused composer")
    app.command("composer 你好, Bob")
    app.command("focus send")
    equal(desk.quillgate.ok("composer-text", bound=bound, region=region), {"ok": True, "text": "你好, Bob"},
          "composer found by the walk")


@case
def composer_text_never_reads_the_password_field(desk):
    app, bound = desk.bound_chat()
    app.command("focus password")
    password = relative(app.frame, app.widgets["password"])
    equal(desk.quillgate.ok("composer-text", bound=bound, region=password), {"ok": True, "noEditor": True},
          "password field")
    # A region around both fields: the composer, never the focused password.
    composer = app.widgets["composer"]
    both = relative(app.frame, [composer[0], composer[1], app.widgets["send"][0] + app.widgets["send"][2]
                                - composer[0], composer[3]])
    equal(desk.quillgate.ok("composer-text", bound=bound, region=both), {"ok": True, "text": "draft message"},
          "composer beside the password field")


@case
def ax_text_walks_the_window_tree(desk):
    app, bound = desk.bound_chat()
    tree = desk.quillgate.ok("ax-text", bound=bound)
    expect(PASSWORD not in dump(tree), "the password's text was read")
    equal(tree["walked"], True, "walked")
    expect(tree["visited"] >= 15, "only %d elements visited" % tree["visited"])
    equal(sum(tree["roles"].values()), tree["visited"], "role counts")
    texts = [item["text"] for item in tree["items"]]
    for text in ("Hello", "Are you there?", "See you tomorrow", "Send", "draft message"):
        expect(text in texts, "%r not among the items %s" % (text, texts))
    send = [item for item in tree["items"] if item["text"] == "Send"][0]
    frame, rect = app.frame, app.widgets["send"]
    expected = ((rect[0] - frame[0]) / frame[2], (rect[1] - frame[1]) / frame[3], rect[2] / frame[2], rect[3] / frame[3])
    actual = (send["x"], send["y"], send["w"], send["h"])
    expect(all(abs(a - e) < 2 / frame[2] for a, e in zip(actual, expected)),
           "Send button at %s, expected %s" % (actual, expected))


@case
def frozen_application_fails_accessibility_within_the_bound(desk):
    app, bound = desk.bound_chat()
    region = relative(app.frame, app.widgets["composer"])
    seconds = 20
    app.send("freeze %d" % seconds)
    frozen = app.wait("frozen")
    requests = [("ax-text", {}), ("composer-text", {"region": region}), ("popup-press", {"labels": ["OK"]}),
                ("execute", {"action": {"kind": "key", "key": "tab"}})]
    for op, keys in requests:
        desk.quillgate.request(op, bound=bound, timeout=seconds, **keys)
        expect(desk.quillgate.elapsed < BOUNDED_SECONDS, "%s took %.1f s on a frozen application"
               % (op, desk.quillgate.elapsed))
    # Still frozen: the answers came from the bound, not from a thawed application.
    expect(not app.events("thawed") and time.monotonic() - frozen["t"] < seconds,
           "the application thawed before the requests ended")
