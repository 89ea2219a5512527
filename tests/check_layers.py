#!/usr/bin/env python3
"""Fails when a folder of src/ includes a folder that is not below it.

usage: check_layers.py SRC_DIR

LAYERS is the one place the layer order is written, lowest first. A file may
include files of its own folder and of folders on lower layers, nothing else:
no include runs upwards, none runs sideways between folders of one layer, and
so the folder graph can have no cycle. Every folder must have a layer and
every quoted include must name a file that exists, so nothing escapes the
check by being new or misspelt.
"""

import re
import sys
from pathlib import Path

LAYERS = [
    # The platform port; lumascan, which shares nothing with quillgate.
    ["platform", "ocr"],
    # Pictures (PNG, Base64, scaling).
    ["image"],
    # JSON reading and writing; binary data is written in Base64.
    ["json"],
    # Failures, request values, the character cut, the request context, calls and routes.
    ["core"],
    # Windows: inventory, verification, occlusion, popup detection, pointer; "pointer", "activate".
    ["windows"],
    # The capture race and the conversation guard; "capture", "capture-input", "bind-region", "check".
    ["capture"],
    # Key posting, execute, the self-test; "release-keys", "input-idle".
    ["input"],
    # Accessibility text walkers; "composer-text", "ax-text".
    ["reading"],
    # Popups, menus and the Dock.
    ["popups"],
    # Entry, request loop, line reader, dispatcher, gates, status operations.
    ["service"],
    # The program's modes beside the request loop: --help and --version; --doctor.
    ["cli", "doctor"],
    # --record-scene: the desktop written as a scene; finds the chat application as the doctor does.
    ["recorder"],
    # The outer ring: the desktops behind the port, each reached only through
    # it; they stand on the port and the utilities, and nothing below includes them.
    ["backends/sim", "backends/macos", "backends/x11", "backends/choice"],
    # The choice between the desktops linked: simulated or X11 on Linux, macOS or simulated on a Mac.
    ["backends/linux", "backends/apple"],
    # The program's entry, which nothing includes.
    ["main.cpp"],
]

RANK = {folder: rank for rank, layer in enumerate(LAYERS) for folder in layer}
INCLUDE = re.compile(r'^\s*#\s*(?:include|import)\s*"([^"]+)"', re.MULTILINE)
SOURCES = {".h", ".hpp", ".c", ".cc", ".cpp", ".m", ".mm"}


def folder_of(path: Path, src: Path) -> str:
    """The layered folder a file under src/ belongs to: the deepest folder
    with a layer that holds it, or its top folder (a file directly under
    src/ is a folder of its own)."""
    parts = path.relative_to(src).parts
    for depth in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:depth])
        if folder in RANK:
            return folder
    return parts[0]


def included_file(name: str, including: Path, src: Path):
    """Where a quoted include resolves: beside the including file first, as
    the compiler looks, then from src/."""
    for base in (including.parent, src):
        candidate = (base / name).resolve()
        if candidate.is_file():
            return candidate
    return None


def problems(src: Path):
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCES or not path.is_file():
            continue
        here = folder_of(path, src)
        where = path.relative_to(src)
        if here not in RANK:
            yield f"{where}: folder {here} has no layer"
            continue
        for name in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            target = included_file(name, path, src)
            if target is None or not target.is_relative_to(src):
                yield f'{where}: "{name}" is not a file under src/'
                continue
            there = folder_of(target, src)
            if there == here:
                continue
            if there not in RANK:
                yield f'{where}: "{name}" is in folder {there}, which has no layer'
            elif RANK[there] >= RANK[here]:
                way = "sideways" if RANK[there] == RANK[here] else "upwards"
                yield f'{where}: "{name}" runs {way}, from {here} to {there}'


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    src = Path(sys.argv[1]).resolve()
    found = list(problems(src))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
