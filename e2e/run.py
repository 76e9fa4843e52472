#!/usr/bin/env python3
"""Runs the end-to-end tests in parallel, each in a process of its own with its own X
display:  run.py PROGRAM [TEST ...]

PROGRAM is the built quilvern. TEST names pick tests by the start of their id
("test_transfer", "test_transfer.TransferTest.test_year_report"); by default all run.
E2E_JOBS sets how many run at once (default: twice the processors).

Each test has TEST_TIMEOUT seconds, unless its class names more in a `timeout` attribute
(a test that loops over many program runs, say); the longest tests are started first."""

import os
import shutil
import subprocess
import sys
import time
import unittest
from concurrent.futures import ThreadPoolExecutor

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = ["Xvfb", "openbox", "xdotool", "xclip", "wmctrl", "xprop", "xwininfo"]
TEST_TIMEOUT = 90


def test_ids():
    """(id, timeout in seconds) of every test, the longest timeouts first."""
    suite = unittest.TestLoader().discover(HERE, pattern="test_*.py", top_level_dir=HERE)
    ids = []

    def walk(item):
        if isinstance(item, unittest.TestSuite):
            for child in item:
                walk(child)
        else:
            ids.append((item.id(), getattr(item, "timeout", TEST_TIMEOUT)))
    walk(suite)
    return sorted(ids, key=lambda pair: -pair[1])


def run_one(test_id, timeout, env):
    started = time.monotonic()
    try:
        result = subprocess.run([sys.executable, "-m", "unittest", "-v", test_id], cwd=HERE,
                                env=env, capture_output=True, text=True, timeout=timeout)
        output, code = result.stderr + result.stdout, result.returncode
    except subprocess.TimeoutExpired as expired:
        output, code = f"{expired.stderr or ''}\nkilled after {timeout} s", -1
    seconds = time.monotonic() - started
    if code != 0:
        status = "FAIL"
    elif "expected failure" in output:
        status = "expected failure"
    elif "skipped" in output:
        status = "skipped"
    else:
        status = "ok"
    return test_id, status, seconds, output


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    program = os.path.abspath(argv[1])
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing or not os.access(program, os.X_OK):
        print("the end-to-end tests need", " ".join(missing or [program]))
        return 1
    ids = [(i, timeout) for i, timeout in test_ids()
           if len(argv) < 3 or any(i.startswith(p) for p in argv[2:])]
    env = dict(os.environ, QUILVERN_PROGRAM=program, PYTHONDONTWRITEBYTECODE="1")
    jobs = int(os.environ.get("E2E_JOBS", 2 * (os.cpu_count() or 1)))
    started = time.monotonic()
    failed = []
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        for test_id, status, seconds, output in pool.map(lambda pair: run_one(*pair, env), ids):
            print(f"{status:>16}  {seconds:5.1f} s  {test_id}", flush=True)
            if status == "FAIL":
                failed.append((test_id, output))
    for test_id, output in failed:
        print(f"\n===== {test_id}\n{output}")
    print(f"\n{len(ids)} tests, {len(failed)} failed, {time.monotonic() - started:.1f} s "
          f"with {jobs} at once")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
