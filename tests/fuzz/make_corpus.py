#!/usr/bin/python3
"""Writes the seed corpus of request_fuzz: one realistic request per
operation, on the scene built into request_fuzz.cpp (kept in step with
SCENE below), bound to its chat window and carrying a guard whose hash
matches the window's header, so guarded requests get past the guard.

Run by hand when the scene or the protocol changes; the files are committed.
The reference picture and the hash are computed here with the standard
library, not by the program under test.
"""
import base64
import hashlib
import json
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent / "corpus" / "request"
WIDTH, HEIGHT = 300, 200
FILL = (0xF5, 0xF5, 0xF5, 0xFF)
# Painted in order over the fill, in window points (one pixel each).
RECTS = [((0, 0, 300, 24), (0xE6, 0xE6, 0xE6, 0xFF)), ((20, 50, 150, 20), (0xFF, 0xFF, 0xFF, 0xFF))]
HEADER = {"x": 0, "y": 0, "width": 300, "height": 24}


def pixels():
    rows = [[FILL] * WIDTH for _ in range(HEIGHT)]
    for (x, y, w, h), colour in RECTS:
        for row in rows[y:y + h]:
            row[x:x + w] = [colour] * w
    return rows


def region_hash(rows, r):
    data = b"".join(bytes(c for px in row[r["x"]:r["x"] + r["width"]] for c in px)
                    for row in rows[r["y"]:r["y"] + r["height"]])
    return hashlib.sha256(data).hexdigest()


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    ihdr = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    rows = pixels()
    guard = dict(HEADER, hash=region_hash(rows, HEADER))
    bound = {"hwnd": "60", "pid": 501, "process": "Chat", "processStart": "1765000000.25", "title": "Chat",
             "width": WIDTH, "height": HEIGHT, "guard": guard}
    reference = base64.b64encode(png(rows)).decode()
    requests = {
        "permissions": {},
        "self-test": {},
        "input-idle": {},
        "dismiss-menu": {"bundles": ["com.example.chat"]},
        "release-keys": {"keys": ["enter", "cmd+enter", "escape"]},
        "show-chats": {"bundles": ["com.example.chat"], "menus": ["Window"], "items": ["Chats"]},
        "reopen-app": {"names": ["Chat"]},
        "list": {},
        "probe": {"id": "60"},
        "inspect": {"hwnd": "60"},
        "activate": {"bound": bound},
        "popup": {"bound": bound, "elements": True, "image": True},
        "popup-close": {"bound": bound},
        "popup-press": {"bound": bound, "labels": ["OK"]},
        "check": {"bound": bound},
        "capture": {"bound": bound},
        "capture-input": {"bound": bound},
        "bind-region": {"bound": bound, "region": dict(HEADER, note="header"), "reference": reference},
        "ax-text": {"bound": bound},
        "composer-text": {"bound": bound, "region": {"x": 10, "y": 150, "width": 280, "height": 40}},
        "pointer": {"bound": bound, "x": 0.2, "y": 0.5},
        "execute-click": {"bound": bound, "action": {"kind": "click", "x": 0.2, "y": 0.5, "button": "left",
                                                     "count": 1}},
        "execute-key": {"bound": bound, "action": {"kind": "key", "key": "cmd+enter"}},
        "execute-move": {"bound": bound, "action": {"kind": "move", "x": 0.1, "y": 0.6}},
        "execute-scroll": {"bound": bound, "action": {"kind": "scroll", "x": 0.2, "y": 0.5, "direction": "up",
                                                      "amount": 3}},
    }
    HERE.mkdir(parents=True, exist_ok=True)
    for name, body in requests.items():
        request = {"op": "execute" if name.startswith("execute-") else name}
        request.update(body)
        (HERE / name).write_text(json.dumps(request, separators=(",", ":")))


if __name__ == "__main__":
    main()
