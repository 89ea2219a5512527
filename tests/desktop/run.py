"""Runs one desktop test case against the built quillgate on the current X11 desktop,
or on a Mac on the desktop of the logged-in session.

    run.py --list [x11|macos] the case names for X11 (the default) or macOS, one a line
    run.py QUILLGATE CASE     runs that case; on X11 meant to run inside scripts/test-desktop

The cases drive `quillgate --server` with QUILLGATE_DESKTOP=x11 (macos) over
JSON lines and check both its answers and what the test application logged.
On a Mac a case needs Accessibility and Screen Recording for the process
macOS charges them to; without them it is not run, says why and how to
grant, and exits with 77 (skipped). When QUILLGATE_DESKTOP_LOGS names a
folder, a failing case's files (event logs, the applications' and
quillgate's output) are copied there.
"""
import json
import os
import subprocess
import shutil
import sys
import tempfile
import traceback

import driver
# The case modules register their cases with the driver.
import differential_cases  # noqa: F401
import failure_cases  # noqa: F401
import guard_cases  # noqa: F401
import held_button_cases  # noqa: F401
import input_method_cases  # noqa: F401
import input_cases  # noqa: F401
import mac_cases  # noqa: F401
import menu_cases  # noqa: F401
import popup_cases  # noqa: F401
import safety_cases  # noqa: F401
import press_race_cases  # noqa: F401
import text_cases  # noqa: F401
import window_cases  # noqa: F401


NOT_RUN = 77
GRANTS = {"accessibility": "Accessibility", "screen": "Screen Recording"}


def missing_grants(binary):
    """The grants the macOS desktop lacks for this process, by their names in System Settings."""
    status = subprocess.run([binary, "--permission-status"], capture_output=True, timeout=30,
                            env=dict(os.environ, QUILLGATE_DESKTOP="macos"))
    granted = json.loads(status.stdout)
    return [title for key, title in GRANTS.items() if granted.get(key) is not True]


def keep_logs(workdir, name):
    kept = os.environ.get("QUILLGATE_DESKTOP_LOGS")
    if kept:
        shutil.copytree(workdir, os.path.join(kept, name), dirs_exist_ok=True,
                        ignore=shutil.ignore_patterns("*.control"))


def main(argv):
    if argv[:1] == ["--list"] and argv[1:] in ([], ["x11"], ["macos"]):
        desktop = argv[1] if argv[1:] else "x11"
        print("\n".join(sorted(n for n in driver.CASES if desktop in driver.DESKTOPS[n])))
        return 0
    if len(argv) != 2 or argv[1] not in driver.CASES:
        print("usage: run.py --list [x11|macos] | run.py QUILLGATE CASE", file=sys.stderr)
        return 2
    binary, name = argv
    if driver.MAC:
        missing = missing_grants(binary)
        if missing:
            print("not run: %s not granted. macOS charges these grants to the process responsible for "
                  "quillgate: the terminal (or CI runner) that started the tests. Grant %s to it in System "
                  "Settings > Privacy & Security, then run the tests again."
                  % (" and ".join(missing), " and ".join(missing)))
            return NOT_RUN
    elif not os.environ.get("DISPLAY"):
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
        keep_logs(workdir, name)
        return 1
    except Exception:
        print("FAIL: %s\n%s" % (traceback.format_exc(), desk.diagnosis()))
        keep_logs(workdir, name)
        return 1
    finally:
        desk.stop()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
