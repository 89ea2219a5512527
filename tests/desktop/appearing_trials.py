"""Measures how often input reaches a window that appears during an "execute"
request: for each kind of action (key, click, scroll), TRIALS requests with
another application's window mapped 2 to 16 ms after the request is written,
then TRIALS with it mapped at any moment of the request.

    scripts/test-desktop -- /usr/bin/python3 tests/desktop/appearing_trials.py QUILLGATE [TRIALS]

Prints one line a kind: trials, ok answers, and ok answers whose input
reached the appearing window. TRIALS is 200 unless given.
"""
import shutil
import sys
import tempfile
import time

import driver
from appearing import LATEST_MS, run_trials


def main(argv):
    if len(argv) not in (1, 2):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    trials = int(argv[1]) if len(argv) == 2 else 200
    workdir = tempfile.mkdtemp(prefix="quillgate-appearing-")
    desk = driver.Desk(argv[0], workdir)
    try:
        app, bound = desk.bound_chat()
        for kind in ("key", "click", "scroll"):
            for latest in (LATEST_MS, None):
                began = time.monotonic()
                count, answered, astray, latest_ms = run_trials(desk, app, bound, kind, trials, latest,
                                                                    log=lambda line: print("  " + line, flush=True))
                print("%-6s 2-%.0f ms trials=%d ok=%d astray=%d (%.1f per 100 trials) %.0f s"
                      % (kind, latest_ms, count, answered, astray, 100 * astray / count, time.monotonic() - began),
                      flush=True)
        return 0
    finally:
        desk.stop()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
