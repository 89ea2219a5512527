#!/usr/bin/env python3
"""Runs one end-to-end transcript against the built quillgate binary.

A transcript is a folder:
  scene.json       the simulated desktop (optional: the built-in demo scene)
  requests.jsonl   the request lines, sent as they stand (bytes, CR LF kept)
  responses.jsonl  the expected response lines, compared as exact text;
                   a line holding only "*" matches any one line
  events.jsonl     the expected event log (optional), one object per line,
                   compared as JSON; "t" is compared only where the expected
                   line has it, within 0.25 simulated seconds
  args             command-line arguments (optional; default: --server)
  status           expected exit status (optional; default 0)
  stderr           expected standard error, exact (optional; default empty,
                   "*" matches any one non-empty line)
  files/           files placed in the program's temporary directory before
                   it starts (optional), as left there by an earlier run

In events.jsonl, "$TMPDIR/" stands for the program's temporary directory,
which is made afresh for every run.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def compare_events(expected_text, log_path, tmp):
    expected_text = expected_text.decode().replace("$TMPDIR/", json.dumps(tmp + "/")[1:-1])
    expected = [json.loads(l) for l in expected_text.splitlines() if l.strip()]
    actual_text = read(log_path, b"").decode()
    actual = [json.loads(l) for l in actual_text.splitlines() if l.strip()]
    if len(expected) != len(actual):
        fail("event log has %d events, expected %d:\n%s" % (len(actual), len(expected), actual_text))
    for i, (e, a) in enumerate(zip(expected, actual)):
        if "t" in e:
            if abs(e["t"] - a.get("t", -1e9)) > 0.25:
                fail("event %d at t=%s, expected t=%s" % (i, a.get("t"), e["t"]))
        a = {k: v for k, v in a.items() if k != "t"}
        e = {k: v for k, v in e.items() if k != "t"}
        if e != a:
            fail("event %d is %s, expected %s" % (i, json.dumps(a, ensure_ascii=False), json.dumps(e, ensure_ascii=False)))


def lines_of(text):
    """Lines ended by LF alone: a CR or a Unicode line separator left in a
    response is a difference, not a line break."""
    return text[:-1].split("\n") if text.endswith("\n") else (text.split("\n") if text else [])


def main():
    binary, folder = sys.argv[1], sys.argv[2]
    args = read(os.path.join(folder, "args"), b"--server").decode().split()
    requests = read(os.path.join(folder, "requests.jsonl"), b"")
    expected = lines_of(read(os.path.join(folder, "responses.jsonl"), b"").decode())
    env = dict(os.environ)
    env.pop("QUILLGATE_SCENE", None)
    scene = os.path.join(folder, "scene.json")
    if os.path.exists(scene):
        env["QUILLGATE_SCENE"] = scene
    with tempfile.TemporaryDirectory() as tmp:
        log = os.path.join(tmp, "events.jsonl")
        env["QUILLGATE_SIM_LOG"] = log
        env["TMPDIR"] = tmp
        files = os.path.join(folder, "files")
        if os.path.isdir(files):
            shutil.copytree(files, tmp, dirs_exist_ok=True)
        run = subprocess.run([binary] + args, input=requests, capture_output=True, env=env, timeout=100)
        status = int(read(os.path.join(folder, "status"), b"0"))
        if run.returncode != status:
            fail("exit status %d, expected %d; stderr: %s" % (run.returncode, status, run.stderr.decode()))
        want_err = read(os.path.join(folder, "stderr"), b"").decode()
        got_err = run.stderr.decode()
        if want_err.strip() == "*":
            if len(got_err.splitlines()) != 1 or not got_err.strip():
                fail("standard error should be one line: %r" % got_err)
        elif got_err != want_err:
            fail("standard error: %r, expected %r" % (got_err, want_err))
        out = run.stdout.decode()
        if out and not out.endswith("\n"):
            fail("output does not end with a newline")
        lines = lines_of(out)
        if len(lines) != len(expected):
            fail("%d response lines, expected %d:\n%s" % (len(lines), len(expected), out))
        for i, (got, want) in enumerate(zip(lines, expected)):
            if want != "*" and got != want:
                fail("response %d:\n  got      %s\n  expected %s" % (i + 1, got, want))
        events = read(os.path.join(folder, "events.jsonl"))
        if events is not None:
            compare_events(events, log, tmp)
    print("ok")


if __name__ == "__main__":
    main()
