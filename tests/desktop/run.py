"""Runs one desktop test case against the built quillgate on the current X11 desktop.

    run.py --list             the case names, one a line
    run.py QUILLGATE CASE     runs that case; meant to run inside scripts/test-desktop

The cases drive `quillgate --server` with QUILLGATE_DESKTOP=x11 over JSON lines
and check both its answers and what the test application logged.
"""
import os
import shutil
import sys
import tempfile
import traceback

import driver
# The case modules register their cases with the driver.
import differential_cases  # noqa: F401
import failure_cases  # noqa: F401
import guard_cases  # noqa: F401
import input_cases  # noqa: F401
import menu_cases  # noqa: F401
import popup_cases  # noqa: F401
import text_cases  # noqa: F401
import window_cases  # noqa: F401


def main(argv):
    if argv == ["--list"]:
        print("\n".join(sorted(driver.CASES)))
        return 0
    if len(argv) != 2 or argv[1] not in driver.CASES:
        print("usage: run.py --list | run.py QUILLGATE CASE", file=sys.stderr)
        return 2
    binary, name = argv
    if not os.environ.get("DISPLAY"):
        print("FAIL: no DISPLAY; run the case inside scripts/test-desktop")
        return 1
    workdir = tempfile.mkdtemp(prefix="quillgate-" + name + "-")
    desk = driver.Desk(binary, workdir)
    try:
        driver.CASES[name](desk)
        desk.quillgate.end()
        print("ok")
        return 0
    except driver.Failure as e:
        print("FAIL: %s\n%s" % (e, desk.diagnosis()))
        return 1
    except Exception:
        print("FAIL: %s\n%s" % (traceback.format_exc(), desk.diagnosis()))
        return 1
    finally:
        desk.stop()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
