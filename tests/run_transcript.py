#!/usr/bin/env python3
"""Runs one end-to-end transcript against the built quillgate binary.

The transcript format is described in tests/e2e/README.md.
"""
import base64
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib


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
            if abs(e["t"] - a.get("t", -1e9)) > 1e-6:
                fail("event %d at t=%s, expected t=%s" % (i, a.get("t"), e["t"]))
        a = {k: v for k, v in a.items() if k != "t"}
        e = {k: v for k, v in e.items() if k != "t"}
        if e != a:
            fail("event %d is %s, expected %s" % (i, json.dumps(a, ensure_ascii=False), json.dumps(e, ensure_ascii=False)))


def same_trace(want, got):
    """Equal JSON, except that an "ms" the expected line has matches any
    number of at least 0 (durations differ from run to run), and an expected
    "*" matches any count (how often a poll ran)."""
    if want == "*":
        return isinstance(got, int) and not isinstance(got, bool) and got >= 1
    if isinstance(want, dict):
        return isinstance(got, dict) and set(want) == set(got) and all(
            (isinstance(got[k], (int, float)) and not isinstance(got[k], bool) and got[k] >= 0)
            if k == "ms" else same_trace(want[k], got[k]) for k in want)
    return type(want) == type(got) and want == got


def compare_trace(expected_text, trace_path):
    expected = [json.loads(l) for l in expected_text.decode().splitlines() if l.strip()]
    lines = counted_lines(read(trace_path, b"").decode(), len(expected), "trace")
    for i, (line, want) in enumerate(zip(lines, expected)):
        got = json.loads(line)
        # Written by the responses' writer: compact, keys sorted, "/" escaped.
        if line != json.dumps(got, separators=(",", ":"), sort_keys=True, ensure_ascii=False).replace("/", "\\/"):
            fail("trace line %d is not in the writer's form: %s" % (i + 1, line))
        if not same_trace(want, got):
            fail("trace line %d:\n  got      %s\n  expected %s" % (i + 1, line, json.dumps(want, ensure_ascii=False)))


def files_in(folder):
    return {os.path.relpath(os.path.join(root, name), folder) for root, _, names in os.walk(folder) for name in names}


# A JSON string holding a PNG in Base64 (the writer escapes "/" as "\/").
PNG_TEXT = re.compile(r'"(iVBORw0KGgo[A-Za-z0-9+\\/=]*)"')


def png_pixels(text):
    """Width, height and the unfiltered rows of an 8-bit, non-interlaced
    truecolour PNG (what the program writes); nothing for anything else, so
    that a picture this reader cannot decode never matches. Written out
    because the standard library, all the test tools need, reads no PNG."""
    data = base64.b64decode(text.replace("\\/", "/"))
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    pos, header, idat = 8, None, b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    if not header:
        return None
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or not channels or interlace:
        return None
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            elif kind != 0:
                return None
        rows.append(bytes(row))
        previous = row
    if channels == 3:  # opaque: compare as RGBA
        rows = [b"".join(r[i:i + 3] + b"\xff" for i in range(0, len(r), 3)) for r in rows]
    return width, height, rows


def same_response(got, want):
    """Exact text, with each PNG compared by its size and pixels."""
    got_pngs, want_pngs = PNG_TEXT.findall(got), PNG_TEXT.findall(want)
    if PNG_TEXT.sub('"<png>"', got) != PNG_TEXT.sub('"<png>"', want) or len(got_pngs) != len(want_pngs):
        return False
    for g, w in zip(got_pngs, want_pngs):
        picture = png_pixels(g)
        if picture is None or picture != png_pixels(w):
            return False
    return True


def lines_of(text):
    """Lines ended by LF alone: a CR or a Unicode line separator left in a
    response is a difference, not a line break."""
    return text[:-1].split("\n") if text.endswith("\n") else (text.split("\n") if text else [])


def counted_lines(text, count, what):
    """The lines of text, which must end with a newline and be count lines."""
    if text and not text.endswith("\n"):
        fail("the %s does not end with a newline" % what)
    lines = lines_of(text)
    if len(lines) != count:
        fail("the %s has %d lines, expected %d:\n%s" % (what, len(lines), count, text))
    return lines


def main():
    binary, folder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    args = read(os.path.join(folder, "args"), b"--server").decode().split()
    requests = read(os.path.join(folder, "requests.jsonl"), b"")
    expected = lines_of(read(os.path.join(folder, "responses.jsonl"), b"").decode())
    env = dict(os.environ)
    env.pop("QUILLGATE_SCENE", None)
    # Transcripts are of the simulated desktop, which a Mac's program uses only when asked.
    env["QUILLGATE_DESKTOP"] = "sim"
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
        expected_trace = read(os.path.join(folder, "trace.jsonl"))
        trace = os.path.join(tmp, "trace.jsonl")
        if expected_trace is None:
            env.pop("QUILLGATE_TRACE", None)
        else:
            env["QUILLGATE_TRACE"] = trace
        for line in read(os.path.join(folder, "env"), b"").decode().splitlines():
            name, _, value = line.partition("=")
            env[name] = value.replace("$TMPDIR/", tmp + "/")
        before = files_in(tmp)
        # Run in the temporary directory, so that a file written anywhere
        # relative is seen too.
        run = subprocess.run([binary] + args, input=requests, capture_output=True, env=env, timeout=100, cwd=tmp)
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
        lines = counted_lines(run.stdout.decode(), len(expected), "output")
        for i, (got, want) in enumerate(zip(lines, expected)):
            if want != "*" and not same_response(got, want):
                fail("response %d:\n  got      %s\n  expected %s" % (i + 1, got, want))
        events = read(os.path.join(folder, "events.jsonl"))
        if events is not None:
            compare_events(events, log, tmp)
        if expected_trace is not None:
            compare_trace(expected_trace, trace)
        left = files_in(tmp) - before - {"events.jsonl", "trace.jsonl" if expected_trace is not None else None}
        if left:
            fail("files left behind: %s" % ", ".join(sorted(left)))
    print("ok")


if __name__ == "__main__":
    main()
