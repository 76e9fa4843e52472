"""A power cut is not a kill: the durability order of every file the real program writes,
read from its system calls under strace.

A kill leaves whatever the kernel holds, a power cut only what reached the disk. So for
each file the program ends up creating or replacing, its system calls must go so:

  1. every byte-writing call (write, pwrite64 and kin) to the descriptor of the file's
     new inode (an O_TMPFILE inode, or a temporary file where there are none) comes
     before an fsync or fdatasync of that same descriptor,
  2. that flush comes before the linkat or rename that gives the inode its final name,
     and no byte is written after it,
  3. after that link or rename (and before the name is given again) an fsync of a
     descriptor of the file's folder follows, so that the new name is on the disk too;
  4. a file of the program is never written under its own name.

check_order() reads an `strace -f -y` log and says, per final name given, which of these
broke. DurabilityOrderTest runs the real program with strace attached to all its threads
(-f -y -p), makes it write each kind of file in one run (the table CASES: month reports
and backups new and over old ones, the year report, the recovery copy, PDFs from the
"Save as PDF" dialog, the settings file and Notes.txt at close), and checks every row;
CheckOrderTest feeds check_order() hand-written logs, so that it is known to catch a
missing flush, a flush after the rename and a folder never flushed.
"""

import os
import re
import shutil
import unittest
from collections import namedtuple

from quilvern import QuilvernTest
from desktop import wait_for
from strace_log import attach, detach, parse_calls, tasks, waiting_in_event_loop
from test_crash_points import (MARCH, OLD_YEAR, a_sold_day, recovery_holds,
                               type_a_line_and_notes, year_report_replaced)

TRACED = ("open,openat,creat,write,writev,pwrite64,pwritev,pwritev2,fsync,fdatasync,"
          "link,linkat,rename,renameat,renameat2,close")
WRITE_CALLS = {"write", "writev", "pwrite64", "pwritev", "pwritev2"}
FLUSH_CALLS = {"fsync", "fdatasync"}
RENAME_CALLS = {"rename", "renameat", "renameat2"}
TEMPORARY = re.compile(r"/\.Quilvern-tmp-[^/]+-[A-Za-z0-9]{6}$")
WAIT = 30  # seconds any one wait may take on a loaded machine; never a measure of speed

# What each broken rule means, as the report says it.
RULES = {
    "never flushed": "its data is never flushed: no fsync or fdatasync of its descriptor",
    "written after the flush": "bytes are written to it after its last fsync or fdatasync",
    "flushed after the name": "its data is flushed only after the link or rename that "
                              "names it",
    "written after the name": "bytes are written to it after the link or rename that "
                              "names it",
    "folder not flushed": "no fsync of its folder follows the link or rename",
    "written in place": "it is opened and written under its own name",
}


# --- reading the log ------------------------------------------------------------------------

_FD = re.compile(r"^(\d+)<")
_STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')
_AT = re.compile(r"(AT_FDCWD|\d+)(?:<([^<>]*)>)?")


def _arguments(text):
    """The arguments of a call, split at the commas outside strings, brackets and the
    descriptors' <paths>."""
    pieces, depth, quoted, current, i = [], 0, False, "", 0
    while i < len(text):
        c = text[i]
        if quoted:
            if c == "\\":
                current += text[i:i + 2]
                i += 2
                continue
            quoted = c != '"'
        elif c == '"':
            quoted = True
        elif c in "[{(<":
            depth += 1
        elif c in "]})>":
            depth -= 1
        elif c == "," and depth == 0:
            pieces.append(current.strip())
            current = ""
            i += 1
            continue
        current += c
        i += 1
    if current.strip():
        pieces.append(current.strip())
    return pieces


def _fd(argument):
    match = _FD.match(argument or "")
    return int(match.group(1)) if match else None


def _string(argument):
    match = _STRING.search(argument or "")
    return match.group(1) if match else None


def _path_at(directory, name):
    """The path a (directory descriptor, string) pair names."""
    if name is None:
        return None
    if name.startswith("/"):
        return os.path.normpath(name)
    at = _AT.match(directory or "")
    base = at.group(2) if at and at.group(2) else None
    return os.path.normpath(os.path.join(base, name)) if base else None


def _succeeded(call):
    return call.result is not None and not call.result.startswith(("-1", "?"))


class Inode:
    """What one descriptor did between its open and its close: the file being made."""

    def __init__(self, index, path, flags):
        self.opened, self.path, self.flags = index, path, flags
        self.writes, self.flushes, self.names = [], [], []
        self.closed = None


# One final name given: the path, by which call ("link" or "rename"), where in the log,
# the inode (None when the renamed file's writing is not in the log) and the broken rules.
Naming = namedtuple("Naming", "path how index inode broken")


def check_order(lines):
    """The final names given in an strace -f -y log, in order, each with the rules of the
    module's docstring it broke (an empty list when none)."""
    calls = parse_calls(lines)
    open_fds, inodes, namings, folder_flushes = {}, [], [], []
    for index, call in enumerate(calls):
        if not _succeeded(call) and call.name not in WRITE_CALLS | FLUSH_CALLS:
            continue
        arguments = _arguments(call.arguments)
        if call.name in ("open", "openat", "creat"):
            fd = _fd(call.result)
            if fd is None:
                continue
            path = _path_at(arguments[0] if call.name == "openat" else "AT_FDCWD",
                            _string(call.arguments))
            shown = re.match(r"\d+<([^<>]*)>", call.result)
            inode = Inode(index, shown.group(1) if shown else path, call.arguments)
            open_fds[fd] = inode
            inodes.append(inode)
        elif call.name in WRITE_CALLS:
            inode = open_fds.get(_fd(arguments[0] if arguments else ""))
            if inode is not None:
                inode.writes.append(index)
        elif call.name in FLUSH_CALLS and _succeeded(call):
            inode = open_fds.get(_fd(arguments[0] if arguments else ""))
            if inode is not None:
                inode.flushes.append(index)
            shown = re.match(r"\d+<(/[^<>]*)>", arguments[0] if arguments else "")
            if shown:  # the folder, as -y shows the descriptor: it may predate the log
                folder_flushes.append((index, os.path.normpath(shown.group(1))))
        elif call.name == "close":
            inode = open_fds.pop(_fd(arguments[0] if arguments else ""), None)
            if inode is not None:
                inode.closed = index
        elif call.name in ("link", "linkat"):
            if call.name == "link":
                source, target = (_path_at("AT_FDCWD", _string(a)) for a in arguments[:2])
            else:
                source = _path_at(arguments[0], _string(arguments[1]))
                target = _path_at(arguments[2], _string(arguments[3]))
            through = re.fullmatch(r"/proc/self/fd/(\d+)", source or "")
            if through:
                inode = open_fds.get(int(through.group(1)))
            elif source is None and "AT_EMPTY_PATH" in call.arguments:
                inode = open_fds.get(_fd(arguments[0]))
            else:
                inode = _named(inodes, source)
            if inode is not None:
                inode.names.append((index, target))
            namings.append([target, "link", index, inode])
        elif call.name in RENAME_CALLS:
            if call.name == "rename":
                source, target = (_path_at("AT_FDCWD", _string(a)) for a in arguments[:2])
            else:
                source = _path_at(arguments[0], _string(arguments[1]))
                target = _path_at(arguments[2], _string(arguments[3]))
            inode = _named(inodes, source)
            if inode is not None:
                inode.names.append((index, target))
            namings.append([target, "rename", index, inode, source])

    final = []
    for n, (target, how, index, inode, *source) in enumerate(namings):
        # A name renamed away later was a temporary one if it has the program's form of
        # a temporary name or its folder was not flushed before (a report renamed aside
        # by "Clear Transfer" had its own name first).
        away = next((later[2] for later in namings[n + 1:]
                     if later[1] == "rename" and later[4] == target), None)
        if away is not None and (TEMPORARY.search(target) or not any(
                index < i < away and path == os.path.dirname(target)
                for i, path in folder_flushes)):
            continue
        if inode is None:
            final.append(Naming(target, how, index, None, []))
            continue
        again = next((later[2] for later in namings[n + 1:] if later[0] == target),
                     len(calls))
        final.append(Naming(target, how, index, inode,
                            _broken(inode, index, again, target, folder_flushes)))
    return final


def _named(inodes, path):
    """The latest inode that bore the path, by its open or a link or rename."""
    for inode in reversed(inodes):
        if inode.names and inode.names[-1][1] == path:
            return inode
        if not inode.names and os.path.normpath(inode.path) == path:
            return inode
    return None


def _broken(inode, named, again, target, folder_flushes):
    broken = []
    last_write = max(inode.writes, default=inode.opened)
    if not any(last_write < f < named for f in inode.flushes):
        if any(f > named for f in inode.flushes):
            broken.append("flushed after the name")
        elif inode.flushes:
            broken.append("written after the flush")
        else:
            broken.append("never flushed")
    if any(w > named for w in inode.writes):
        broken.append("written after the name")
    folder = os.path.dirname(target)
    if not any(named < index < again and path == folder for index, path in folder_flushes):
        broken.append("folder not flushed")
    return broken


# --- the hand-written logs ----------------------------------------------------------------

D = "/home/me/shop"
NEW_FILE = [  # a new file: O_TMPFILE, written, flushed, linked, the folder flushed
    f'501 openat(AT_FDCWD</home/me>, "{D}", O_WRONLY|O_CLOEXEC|O_TMPFILE, 0666) = 7<{D}/#4711>(deleted)',
    f'501 pwrite64(7<{D}/#4711>(deleted), "JANUARY SALES\\r\\n"..., 120, 0) = 120',
    f'501 fsync(7<{D}/#4711>(deleted)) = 0',
    f'501 linkat(AT_FDCWD</home/me>, "/proc/self/fd/7", AT_FDCWD</home/me>, "{D}/Report01.txt", AT_SYMLINK_FOLLOW) = 0',
    f'501 close(7<{D}/Report01.txt>) = 0',
    f'501 openat(AT_FDCWD</home/me>, "{D}", O_RDONLY|O_CLOEXEC|O_DIRECTORY) = 8<{D}>',
    f'501 fsync(8<{D}>) = 0',
    f'501 close(8<{D}>) = 0',
]
OVER_OLD = [  # over an old file: O_TMPFILE, flushed, linked to a temporary name, renamed
    f'501 openat(AT_FDCWD</home/me>, "{D}", O_WRONLY|O_CLOEXEC|O_TMPFILE, 0666) = 7<{D}/#4712>(deleted)',
    f'501 fchmod(7<{D}/#4712>(deleted), 0644) = 0',
    f'501 pwrite64(7<{D}/#4712>(deleted), "MARCH SALES\\r\\n"..., 80, 0) = 80',
    f'501 fsync(7<{D}/#4712>(deleted)) = 0',
    f'501 linkat(AT_FDCWD</home/me>, "/proc/self/fd/7", AT_FDCWD</home/me>, "{D}/.Quilvern-tmp-Report03.txt-a1B2c3", AT_SYMLINK_FOLLOW) = 0',
    f'501 close(7<{D}/.Quilvern-tmp-Report03.txt-a1B2c3>) = 0',
    f'501 rename("{D}/.Quilvern-tmp-Report03.txt-a1B2c3", "{D}/Report03.txt") = 0',
    f'501 openat(AT_FDCWD</home/me>, "{D}", O_RDONLY|O_CLOEXEC|O_DIRECTORY) = 7<{D}>',
    f'501 fsync(7<{D}>) = 0',
    f'501 close(7<{D}>) = 0',
]
NAMED_TEMP = [  # where there is no O_TMPFILE: a named temporary file, renamed
    f'501 openat(AT_FDCWD</home/me>, "{D}/.Quilvern-tmp-Notes.txt-Zz9Yy8", O_WRONLY|O_CREAT|O_EXCL|O_CLOEXEC, 0666) = 9<{D}/.Quilvern-tmp-Notes.txt-Zz9Yy8>',
    f'501 write(9<{D}/.Quilvern-tmp-Notes.txt-Zz9Yy8>, "Order more jam", 14) = 14',
    f'501 fdatasync(9<{D}/.Quilvern-tmp-Notes.txt-Zz9Yy8>) = 0',
    f'501 close(9<{D}/.Quilvern-tmp-Notes.txt-Zz9Yy8>) = 0',
    f'501 renameat2(AT_FDCWD</home/me>, "{D}/.Quilvern-tmp-Notes.txt-Zz9Yy8", AT_FDCWD</home/me>, "{D}/Notes.txt", 0) = 0',
    f'501 openat(AT_FDCWD</home/me>, "{D}", O_RDONLY|O_DIRECTORY) = 9<{D}>',
    f'501 fsync(9<{D}>) = 0',
    f'501 close(9<{D}>) = 0',
]


def without(lines, *pieces):
    """The lines but those holding any of the pieces."""
    return [line for line in lines if not any(piece in line for piece in pieces)]


def moved(lines, piece, after):
    """The line holding `piece` moved to just after the line holding `after`."""
    line = next(line for line in lines if piece in line)
    rest = [other for other in lines if other is not line]
    at = next(i for i, other in enumerate(rest) if after in other)
    return rest[:at + 1] + [line] + rest[at + 1:]


def interleaved(lines):
    """The lines with another thread's call breaking into each of the file's calls, as
    strace -f shows it: "<unfinished ...>", then "<... name resumed>", its result padded
    to a column."""
    out = []
    for line in lines:
        tid, rest = line.split(" ", 1)
        name, arguments = rest.split("(", 1)
        head, _, result = arguments.rpartition(") = ")
        out += [f"{tid} {name}({head} <unfinished ...>",
                '502 write(3<socket:[99]>, "\\1\\0", 2) = 2',
                f"{tid} <... {name} resumed>)             = {result}"]
    return out


# (what, log, {final path: broken rules}); an empty list: every rule holds.
LOG_CASES = [
    ("a new file in order", NEW_FILE, {f"{D}/Report01.txt": []}),
    ("a file over an old one in order", OVER_OLD, {f"{D}/Report03.txt": []}),
    ("a named temporary file in order", NAMED_TEMP, {f"{D}/Notes.txt": []}),
    ("calls broken into by another thread", interleaved(OVER_OLD), {f"{D}/Report03.txt": []}),
    ("no fsync before the link", without(NEW_FILE, f"fsync(7<{D}/#4711>"),
     {f"{D}/Report01.txt": ["never flushed"]}),
    ("no fsync before the rename", without(OVER_OLD, f"fsync(7<{D}/#4712>"),
     {f"{D}/Report03.txt": ["never flushed"]}),
    ("no fdatasync before the rename", without(NAMED_TEMP, "fdatasync("),
     {f"{D}/Notes.txt": ["never flushed"]}),
    ("the fsync after the link", moved(NEW_FILE, f"fsync(7<{D}/#4711>", "linkat("),
     {f"{D}/Report01.txt": ["flushed after the name"]}),
    ("the fsync after the rename",
     moved(without(OVER_OLD, "close(7<{D}/.Quilvern".format(D=D)), f"fsync(7<{D}/#4712>",
           "rename("),
     {f"{D}/Report03.txt": ["flushed after the name"]}),
    ("a write after the fsync", moved(OVER_OLD, "pwrite64(", f"fsync(7<{D}/#4712>"),
     {f"{D}/Report03.txt": ["written after the flush"]}),
    ("no fsync of the folder after the link", without(NEW_FILE, f"fsync(8<{D}>)"),
     {f"{D}/Report01.txt": ["folder not flushed"]}),
    ("no fsync of the folder after the rename", without(OVER_OLD, f"fsync(7<{D}>)"),
     {f"{D}/Report03.txt": ["folder not flushed"]}),
    ("the folder flushed before the rename only",
     OVER_OLD[:6] + [f'501 openat(AT_FDCWD</home/me>, "{D}", O_RDONLY|O_DIRECTORY) = 8<{D}>',
                     f'501 fsync(8<{D}>) = 0', f'501 close(8<{D}>) = 0'] + OVER_OLD[6:7],
     {f"{D}/Report03.txt": ["folder not flushed"]}),
    ("another folder flushed", [line.replace(f"8<{D}>", "8</home/me>") for line in NEW_FILE],
     {f"{D}/Report01.txt": ["folder not flushed"]}),
    ("a descriptor number used again: only the second file unflushed",
     NEW_FILE + without([line.replace("#4711", "#4713").replace("Report01", "Backup01")
                         for line in NEW_FILE], "fsync(7<"),
     {f"{D}/Report01.txt": [], f"{D}/Backup01.txt": ["never flushed"]}),
    ("one folder fsync for two renames", without(OVER_OLD, f"fsync(7<{D}>)") + [
        line.replace("#4712", "#4714").replace("Report03", "Backup03") for line in OVER_OLD],
     {f"{D}/Report03.txt": [], f"{D}/Backup03.txt": []}),
    ("written under its own name", [
        f'501 openat(AT_FDCWD</home/me>, "{D}/Notes.txt", O_WRONLY|O_CREAT|O_TRUNC, 0666) = 5<{D}/Notes.txt>',
        f'501 write(5<{D}/Notes.txt>, "Order", 5) = 5',
        f'501 fsync(5<{D}/Notes.txt>) = 0',
        f'501 close(5<{D}/Notes.txt>) = 0'], {}),
]


class CheckOrderTest(unittest.TestCase):
    """The checker against hand-written strace logs: good orders pass, each fault fails."""

    def test_each_log(self):
        for what, lines, expected in LOG_CASES:
            with self.subTest(what):
                found = {n.path: n.broken for n in check_order(lines)}
                self.assertEqual(found, expected)

    def test_the_folder_flush_must_come_before_the_name_is_given_again(self):
        # Two replacements of one file, the folder flushed after the second only: the
        # first name given was not on the disk when the second write began.
        second = [line.replace("#4712", "#4715").replace("a1B2c3", "d4E5f6")
                  for line in OVER_OLD]
        found = [(n.path, n.broken) for n in check_order(
            without(OVER_OLD, f"fsync(7<{D}>)") + second)]
        self.assertEqual(found, [(f"{D}/Report03.txt", ["folder not flushed"]),
                                 (f"{D}/Report03.txt", [])])

    def test_a_file_of_the_program_written_in_place_is_named(self):
        lines = LOG_CASES[-1][1]
        self.assertEqual(in_place(lines, {f"{D}/Notes.txt"}), [f"{D}/Notes.txt"])
        self.assertEqual(in_place(NEW_FILE + OVER_OLD, {f"{D}/Report01.txt"}), [])


def rendered(calls, dropping=()):
    """Lines of a log again, from its calls but those at the indices `dropping`."""
    lines = []
    for index, call in enumerate(calls):
        if index in dropping:
            continue
        tid = f"{call.tid} " if call.tid else ""
        lines.append(f"{tid}{call.name}({call.head}")
        if call.tail:
            lines.append(f"{tid}<... {call.name} resumed>{call.tail}")
    return lines


def in_place(lines, paths):
    """The paths among `paths` that a descriptor opened under that very name wrote to."""
    found = []
    open_fds = {}
    for call in parse_calls(lines):
        if not _succeeded(call) and call.name not in WRITE_CALLS:
            continue
        arguments = _arguments(call.arguments)
        if call.name in ("open", "openat", "creat"):
            fd = _fd(call.result)
            if fd is not None:
                open_fds[fd] = _path_at(arguments[0] if call.name == "openat" else "AT_FDCWD",
                                        _string(call.arguments))
        elif call.name in WRITE_CALLS:
            path = open_fds.get(_fd(arguments[0] if arguments else ""))
            if path in paths and path not in found:
                found.append(path)
        elif call.name == "close":
            open_fds.pop(_fd(arguments[0] if arguments else ""), None)
    return found


# --- the real program ----------------------------------------------------------------------

NEW, OLD = "new", "over an old one"

# (folder, file, how it is made, whether one was there before). Each scenario's command
# list makes every row's file; the settings file and the notes are written at the close.
CASES = {
    "a day's work over earlier files": [
        ("config", "Quilvern.ini.recovery", "the recovery copy, 2 s after typing", NEW),
        ("program", "Report04.txt", "transfer of April", NEW),
        ("program", "Backup04.txt", "transfer of April", NEW),
        ("program", "Report03.txt", "transfer of March again", OLD),
        ("program", "Backup03.txt", "transfer of March again", OLD),
        ("program", "ReportYear.txt", "Compile Year Report", OLD),
        ("program", "BackupYear.txt", "Compile Year Report", OLD),
        ("documents", "ReportYear.pdf", "Save as PDF in the viewer", NEW),
        ("documents", "Report03.pdf", "Save as PDF in the viewer, confirmed", OLD),
        ("config", "Quilvern.ini", "the close of the window", OLD),
        ("program", "Notes.txt", "the close of the window", OLD),
    ],
    "a first day": [
        ("config", "Quilvern.ini.recovery", "the recovery copy, 2 s after typing", NEW),
        ("program", "Report01.txt", "transfer of January", NEW),
        ("program", "Backup01.txt", "transfer of January", NEW),
        ("program", "ReportYear.txt", "Compile Year Report", NEW),
        ("program", "BackupYear.txt", "Compile Year Report", NEW),
        ("config", "Quilvern.ini", "the close of the window", NEW),
        ("program", "Notes.txt", "the close of the window", NEW),
    ],
}

OLD_PDF = b"%PDF-1.4 an old March\n%%EOF\n"


def wait_done(app, condition, what):
    wait_for(lambda: condition() and waiting_in_event_loop(app.process.pid), what, WAIT)


def holds(app, *pieces):
    return lambda: all(piece in (app.recovery() or b"") for piece in pieces)


def pdf_whole(path):
    def whole():
        try:
            with open(path, "rb") as file:
                data = file.read()
        except OSError:
            return False
        return data != OLD_PDF and data.startswith(b"%PDF") and data.rstrip().endswith(b"%%EOF")
    return whole


def save_as_pdf(test, name, confirm=False):
    """Ctrl+Shift+S in the viewer, Return in the dialog (and "Yes" in the question whether
    to replace the old PDF); waits until the PDF is whole."""
    app = test.app
    app.key("ctrl+shift+s")
    dialog = app.wait_for_box(timeout=WAIT)
    app.key("Return")
    if confirm:
        wait_for(lambda: app.desktop.active_window() not in (dialog, app.window) and
                 app.desktop.active_window() in app.windows(), "the question to replace", WAIT)
        app.key("y")
    wait_done(app, pdf_whole(os.path.join(test.documents, name)), name)


# Faults made in the real log of the first scenario: (folder, file, fault, broken rule).
DOCTORED = [
    ("program", "Report03.txt", "no data flush", "never flushed"),
    ("program", "Report04.txt", "no data flush", "never flushed"),
    ("program", "Report04.txt", "the data flush after the name", "flushed after the name"),
    ("config", "Quilvern.ini", "no data flush", "never flushed"),
    ("documents", "Report03.pdf", "no data flush", "never flushed"),
    ("program", "Notes.txt", "no folder flush", "folder not flushed"),
    ("documents", "ReportYear.pdf", "no folder flush", "folder not flushed"),
]


class DurabilityOrderTest(QuilvernTest):
    timeout = 180

    def setUp(self):
        if shutil.which("strace") is None:
            self.skipTest("strace is not installed (it is in the Makefile's PACKAGES)")
        super().setUp()
        self.documents = os.path.join(self.desktop.home, "Documents")
        os.makedirs(self.documents)
        self.folders = {"program": self.app.folder, "config": self.app.config,
                        "documents": self.documents}
        self.app.root = self.root  # for the helpers of test_crash_points

    def traced_run(self, act):
        """Starts the program, attaches strace to all its threads, runs act() and closes
        the window; returns the lines of the log."""
        app = self.app.start()
        log = os.path.join(self.root, "strace.log")
        tracer = attach(log, tasks(app.process.pid), "-f", "-e", f"trace={TRACED}",
                        timeout=WAIT)
        try:
            act()
            self.assertEqual(app.close(timeout=WAIT), 0)
        finally:
            detach(tracer, timeout=WAIT)
        with open(log, encoding="utf-8", errors="replace") as file:
            return file.readlines()

    def check(self, scenario, lines):
        namings = check_order(lines)
        rows, failures = [], []
        watched = {os.path.normpath(folder) for folder in self.folders.values()}
        cases = {os.path.join(self.folders[where], name): (how, before)
                 for where, name, how, before in CASES[scenario]}
        for path, (how, before) in cases.items():
            mine = [n for n in namings if n.path == path]
            name = os.path.relpath(path, self.root)
            if not mine:
                failures.append(f"{scenario}: {name} ({how}): never given its name")
                continue
            if before == OLD and mine[0].how != "rename":
                failures.append(f"{scenario}: {name} ({how}): replaced by {mine[0].how}, "
                                "not by a rename")
            for k, naming in enumerate(mine, 1):
                label = f"{name}, {how}, {before}, {naming.how} {k} of {len(mine)}"
                if naming.inode is None:
                    naming = naming._replace(broken=["its writing is not in the log"])
                rows.append((label, naming.broken))
                failures += [f"{scenario}: {label}: {RULES.get(rule, rule)}"
                             for rule in naming.broken]
        for path in in_place(lines, set(cases)):
            failures.append(f"{scenario}: {os.path.relpath(path, self.root)}: "
                            f"{RULES['written in place']}")
        others = [n for n in namings if n.path not in cases and n.inode is not None
                  and os.path.dirname(n.path) in watched]
        for naming in others:
            rows.append((f"{os.path.relpath(naming.path, self.root)} (not a file of the "
                         f"program's own), {naming.how}", naming.broken))
        print(f"\n{scenario}:", *[f"{label}: {', '.join(broken) or 'in order'}"
                                 for label, broken in rows], sep="\n  ")
        return failures

    def test_a_days_work_over_earlier_files(self):
        scenario = "a day's work over earlier files"
        a_sold_day(self)
        self.app.write("Report04.txt.bak", b"an old April\r\n")
        with open(os.path.join(self.documents, "Report03.pdf"), "wb") as file:
            file.write(OLD_PDF)
        app = self.app

        def act():
            type_a_line_and_notes(self)
            wait_done(app, holds(app, b"P003Quantity_Value=2\r\n", b"and bread"),
                      "the recovery copy")
            app.click("Transfer")
            app.click("TransferApr")
            app.click("TransferMar")
            wait_done(app, lambda: (app.exists("Backup04.txt")
                                    and app.read("Backup03.txt") != MARCH
                                    and holds(app, b"TotalApril_Value=18.5\r\n",
                                              b"TotalMarch_Value=18.5\r\n")()),
                      "both transfers")
            app.click("YearReport")
            wait_done(app, lambda: year_report_replaced(self), "the year report")
            save_as_pdf(self, "ReportYear.pdf")
            app.click("Transfer")
            app.click("ReportMar")
            save_as_pdf(self, "Report03.pdf", confirm=True)

        lines = self.traced_run(act)
        self.assertNotEqual(app.read("ReportYear.txt"), OLD_YEAR)
        failures = self.check(scenario, lines)
        self.assertEqual(failures, [], "\n" + "\n".join(failures))
        self.check_doctored(lines)

    def check_doctored(self, lines):
        """The real log, doctored as a fault in the safe writer would change it, must fail
        with the rule that fault breaks."""
        calls = parse_calls(lines)
        namings = {n.path: n for n in check_order(lines)}
        for where, name, fault, rule in DOCTORED:
            with self.subTest(f"{name}: {fault}"):
                naming = namings[os.path.join(self.folders[where], name)]
                flushes = naming.inode.flushes
                if fault == "no data flush":
                    doctored = rendered(calls, set(flushes))
                elif fault == "the data flush after the name":
                    doctored = rendered(calls[:naming.index + 1] + [calls[flushes[-1]]] +
                                        calls[naming.index + 1:], {flushes[-1]})
                else:  # no flush of the folder from the name given on
                    folder = os.path.dirname(naming.path)
                    doctored = rendered(calls, {
                        i for i, call in enumerate(calls) if i > naming.index
                        and call.name in FLUSH_CALLS
                        and re.fullmatch(rf"\d+<{re.escape(folder)}>", call.arguments)})
                found = [n for n in check_order(doctored) if n.path == naming.path]
                self.assertIn(rule, found[0].broken)

    def test_a_first_day(self):
        scenario = "a first day"
        app = self.app

        def act():
            app.fill_line(1, "Tea", "2.5", "4")
            app.click("Notes")
            app.click("NoteText")
            app.type("Order more jam")
            wait_done(app, holds(app, b"P001Quantity_Value=4\r\n", b"more jam"),
                      "the recovery copy")
            app.click("Transfer")
            app.click("TransferJan")
            wait_done(app, lambda: (app.exists("Backup01.txt")
                                    and holds(app, b"TotalJanuary_Value=10\r\n")()),
                      "the transfer")
            app.click("YearReport")
            wait_done(app, lambda: app.exists("BackupYear.txt"), "the year report")

        lines = self.traced_run(act)
        failures = self.check(scenario, lines)
        self.assertEqual(failures, [], "\n" + "\n".join(failures))
