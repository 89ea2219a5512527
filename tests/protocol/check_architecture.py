#!/usr/bin/env python3
"""Checks that docs/architecture.md tells the truth about the tree.

usage: check_architecture.py CATALOGUE_PROGRAM REPO_ROOT

- Its operation table lists exactly the operations the program routes, each
  with the file that defines the operation's handler. The routes are read
  from the dispatcher's and the gates' route tables, and must be the names
  the built program reports (CATALOGUE_PROGRAM), so a route added in a new
  way cannot slip past the table.
- Every file or folder it names (`src/...`, `tests/...`, links) exists.
"""
import json
import re
import subprocess
import sys
from pathlib import Path

ROUTE = re.compile(r'\{"([a-z-]+)", (\w+)\}')
# A name tested on its own before the tables: `constexpr std::string_view xName = "x";`
NAMED = re.compile(r'constexpr std::string_view (\w+) = "([a-z-]+)";')
TABLE_ROW = re.compile(r"^\|\s*\"([a-z-]+)\"\s*\|\s*`([^`]+)`\s*\|", re.MULTILINE)
CODE_PATH = re.compile(r"`((?:src|tests|docs|bench|scripts|cmake)/[^`\s]*)`")
LINK = re.compile(r"\]\(([^)#\s]+)(?:#[^)]*)?\)")


def routes(src):
    """Operation name -> handler name, in the order the service matches them."""
    found = {}
    for name in ("service/dispatcher.cpp", "service/gates.cpp"):
        text = (src / name).read_text(encoding="utf-8")
        for constant, operation in NAMED.findall(text):
            handler = re.search(r"== " + constant + r"\) return (\w+)\(", text)
            if not handler:
                sys.exit(f"{name}: no handler for {constant}")
            found[operation] = handler.group(1)
        for operation, handler in ROUTE.findall(text):
            found[operation] = handler
    return found


def defining_file(src, handler):
    files = [p for p in sorted(src.rglob("*.cpp"))
             if re.search(r"^Object " + handler + r"\(", p.read_text(encoding="utf-8"), re.MULTILINE)]
    if len(files) != 1:
        sys.exit(f"{handler} is defined in {len(files)} files")
    return files[0]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, root = sys.argv[1], Path(sys.argv[2])
    src = root / "src"
    doc = root / "docs" / "architecture.md"
    text = doc.read_text(encoding="utf-8")
    failures = []

    built = json.loads(subprocess.run([program], capture_output=True, check=True).stdout)["operations"]
    table = routes(src)
    if sorted(built) != sorted(table):
        failures.append(f"route tables read {sorted(table)}, the program routes {sorted(built)}")
    rows = dict(TABLE_ROW.findall(text))
    for operation, handler in table.items():
        expected = defining_file(src, handler).relative_to(root).as_posix()
        if operation not in rows:
            failures.append(f'"{operation}" is missing from the operation table ({expected})')
        elif rows[operation] != expected:
            failures.append(f'"{operation}" is in {expected}, the table says {rows[operation]}')
    for operation in rows.keys() - table.keys():
        failures.append(f'the table lists "{operation}", which the program does not route')

    for path in CODE_PATH.findall(text):
        if "<" in path or "*" in path:
            path = path[:min(i for i in (path.find("<"), path.find("*")) if i >= 0)]
        if not (root / path.rstrip("/")).exists():
            failures.append(f"{path} does not exist")
    for link in LINK.findall(text):
        if "://" not in link and not (doc.parent / link).exists():
            failures.append(f"link {link} does not exist")

    for failure in failures:
        print(f"docs/architecture.md: {failure}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
