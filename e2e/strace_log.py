"""strace attached to the running program, and its log read back: shared by the tests
that watch the program's system calls (test_crash_points.py, test_durability.py).

    tracer = attach(log, tids, "-f", "-e", "trace=openat,fsync")   # waits until attached
    ...                                                            # the program acts
    detach(tracer)
    for call in parse_calls(open(log)): call.tid, call.name, call.arguments, call.result

Logs are of `strace -y -o LOG ... -p TIDS`, with or without -f; -y shows each descriptor
with the path it stands for, "3</dir/Report01.txt>"."""

import os
import re
import signal
import subprocess
from collections import namedtuple

from desktop import wait_for

# Calls whose first argument is a descriptor of a file, and calls that open one.
FD_CALLS = {"write", "writev", "pwrite64", "pwritev", "pwritev2", "fsync", "fdatasync",
            "sync_file_range", "ftruncate", "fallocate", "fchmod", "fchown",
            "copy_file_range", "sendfile"}
OPEN_CALLS = {"open", "openat", "creat"}

_CALL = re.compile(r"^(?:(\d+)\s+)?(\w+)\((.*)$")
_RESUMED = re.compile(r"^(?:(\d+)\s+)?<\.\.\. (\w+) resumed>(.*)$")
_UNFINISHED = " <unfinished ...>"
_RESULT = re.compile(r"\)\s+= ")
STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')
DECORATION = re.compile(r"<(/[^<>]*)>")
INODE = re.compile(r"/#\d+$")  # an O_TMPFILE file, named by its inode

class Call(namedtuple("Call", "tid name head tail complete")):
    """One system call of a log: `head` is the text after "name(" on the line where it
    began, `tail` the text of its "<... name resumed>" line if another thread's call came
    between, `complete` whether it returned within the log."""
    __slots__ = ()

    def _split(self):
        text = self.head
        if text.endswith(_UNFINISHED):
            text = text[:-len(_UNFINISHED)]
        text += self.tail
        # strace pads short lines to a column: ")   = 0", "<... openat resumed>)    = 13".
        separator = None
        for separator in _RESULT.finditer(text):
            pass
        if separator is None:
            return text.rstrip().rstrip(")"), None
        return text[:separator.start()], text[separator.end():].strip()

    @property
    def arguments(self):
        """The text between the call's brackets, its pieces joined."""
        return self._split()[0]

    @property
    def result(self):
        """What the call returned, as strace shows it ("0", "3</dir/#123>(deleted)",
        "-1 ENOENT (...)"); None when it did not return."""
        return self._split()[1]


def parse_calls(lines):
    """Every system call of the lines of an strace -f -y log, in the order they began; an
    unfinished call is joined with its resumption."""
    calls, open_calls = [], {}
    for line in lines:
        line = line.rstrip("\n")
        resumed = _RESUMED.match(line)
        if resumed:
            tid = resumed.group(1)
            index = open_calls.pop((tid, resumed.group(2)), None)
            if index is not None:
                calls[index] = calls[index]._replace(tail=resumed.group(3), complete=True)
            continue
        call = _CALL.match(line)
        if not call:
            continue
        tid, name, rest = call.groups()
        unfinished = rest.endswith(_UNFINISHED)
        calls.append(Call(tid, name, rest, "", not unfinished))
        if unfinished:
            open_calls[(tid, name)] = len(calls) - 1
    return calls


def read_calls(log):
    """Every system call of an strace -f -y log file, in the order they began, as (tid,
    name, text after "name(" where it began, complete)."""
    with open(log, encoding="utf-8", errors="replace") as file:
        return [(c.tid, c.name, c.head, c.complete) for c in parse_calls(file)]


def call_paths(name, rest):
    """The paths a call names: its strings, resolved against its directory, and the paths
    strace shows for its descriptors (the result's excluded)."""
    rest = rest.rsplit(") = ", 1)[0]
    if name in FD_CALLS:
        first = DECORATION.search(rest.split(",", 1)[0])
        return [first.group(1)] if first else []
    base = None
    at = re.match(r"(AT_FDCWD|\d+)<(/[^<>]*)>", rest)
    if at:
        base = at.group(2)
        rest = rest[at.end():]
    paths = [m.group(1) for m in DECORATION.finditer(rest)]
    for string in STRING.findall(rest):
        if string.startswith("/"):
            paths.append(string)
        elif base and string:
            paths.append(os.path.join(base, string))
    return paths


# --- the traced program -------------------------------------------------------------------

def tasks(pid):
    """The thread ids of a process, in the order they were made."""
    return sorted(int(tid) for tid in os.listdir(f"/proc/{pid}/task"))


def traced(tid):
    with open(f"/proc/{tid}/status") as file:
        for line in file:
            if line.startswith("TracerPid:"):
                return int(line.split()[1]) != 0
    return False


_WAITING_CALLS = {"7", "271", "232", "281", "441"}  # poll, ppoll, epoll_wait and kin


def waiting_in_event_loop(pid):
    """Is the main thread blocked in its event loop's poll() with nothing queued?"""
    try:
        with open(f"/proc/{pid}/syscall") as file:
            words = file.read().split()
    except OSError:
        return False
    if not words or words[0] not in _WAITING_CALLS:
        return False
    return not (words[0] == "7" and int(words[3], 16) == 0)  # poll(..., 0) is no wait


def attach(log, tids, *options, timeout=30):
    """Starts `strace -y -o LOG OPTIONS -p TIDS` and waits until every thread is traced;
    returns the strace process."""
    tracer = subprocess.Popen(
        ["strace", "-y", "-o", log, *options, "-p", ",".join(map(str, tids))],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wait_for(lambda: all(traced(tid) for tid in tids) or tracer.poll() is not None,
             "strace to attach", timeout)
    if tracer.poll() is not None:
        raise RuntimeError("strace failed: " + tracer.stderr.read().decode())
    return tracer


def detach(tracer, timeout=30):
    """Ends the tracing (strace ends by itself once the program has ended)."""
    if tracer.poll() is None:
        tracer.send_signal(signal.SIGINT)
    tracer.wait(timeout=timeout)
    tracer.stderr.close()
