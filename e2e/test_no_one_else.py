"""No one else gets in: one running copy whatever is in the way of its lock, a socket that
only the trader's own processes reach, one owner per program folder, links of other
users never followed, and the smaller doors (a pasted megabyte, a huge settings file, a
signal during a start-up box). CI runs as root, so other users are other uids."""

import fcntl
import hashlib
import os
import shutil
import signal
import socket
import subprocess
import sys
import threading

import layout
from quilvern import PROGRAM, Quilvern, QuilvernTest, as_user
from desktop import wait_for

TRADER = 4242
STRANGER = 4343


def old_address(settings_path, uid):
    """The abstract socket name that copies used before they had a private folder."""
    key = settings_path.encode() + b"\0" + str(uid).encode()
    return b"\0quilvern-" + hashlib.sha1(key).hexdigest().encode()


def abstract_names():
    with open("/proc/net/unix", encoding="latin-1") as table:
        return {line.split()[-1] for line in table if line.split()[-1].startswith("@")}


# Run as another user: binds an abstract name and then either accepts and drops every
# connection, as a copy of the program would, or lets its queue fill and never accepts.
SQUATTER = r"""
import socket, sys, time
name, mode = bytes.fromhex(sys.argv[1]), sys.argv[2]
server = socket.socket(socket.AF_UNIX)
server.bind(name)
server.listen(0)
if mode == "full":
    held = []
    while True:
        client = socket.socket(socket.AF_UNIX)
        client.setblocking(False)
        try:
            client.connect(name)
        except BlockingIOError:
            break
        held.append(client)
    while True:
        time.sleep(1)
while True:
    server.accept()[0].close()
"""

# Run as another user: tries to connect to each name; prints one word for each.
KNOCKER = r"""
import socket, sys
for name in sys.argv[1:]:
    client = socket.socket(socket.AF_UNIX)
    client.settimeout(2)
    try:
        client.connect(bytes.fromhex(name))
        print("connected")
    except OSError as error:
        print(type(error).__name__)
"""


def fill_queue(address):
    """Connects until a listener that never accepts takes no more; returns the clients."""
    held = []
    while True:
        client = socket.socket(socket.AF_UNIX)
        client.setblocking(False)
        try:
            client.connect(address)
        except BlockingIOError:
            client.close()
            return held
        held.append(client)


class NoOneElseTest(QuilvernTest):
    def trader(self, **kwargs):
        """The trader, whose program folder it is."""
        app = Quilvern(self.desktop, self.root, uid=TRADER, **kwargs)
        os.chown(app.folder, TRADER, TRADER)
        return app

    def minimized(self, app):
        self.desktop.run("xdotool", "windowminimize", "--sync", str(app.window))
        wait_for(lambda: self.desktop.active_window() != app.window, "the window to lose focus")

    def second_start_raises(self, app):
        """A second start of the trader's ends at once and brings the first window up."""
        second = self.trader()
        second.start(wait=False)
        self.assertEqual(second.wait_for_end(5), 0)
        wait_for(lambda: self.desktop.active_window() == app.window, "the first window in front")

    def socket_path(self, app):
        """The running copy's socket in its private folder."""
        names = wait_for(lambda: [n for n in os.listdir(app.runtime) if n.endswith(".socket")],
                         "the running copy's socket")
        return os.path.join(app.runtime, names[0])

    def refused_at_start(self, app):
        """The program shows a box before any window of its own and ends with 1."""
        app.start(wait=False)
        app.answer_start_box()
        self.assertEqual(app.wait_for_end(5), 1)

    # --- the lock -----------------------------------------------------------------

    def test_a_lock_that_cannot_be_taken_never_counts_as_first(self):
        def folder(lock):
            os.mkdir(lock)

        def dangling_link(lock):
            os.symlink(lock + ".nowhere/x", lock)

        def private_file_of_root(lock):
            with open(lock, "w"):
                pass
            os.chmod(lock, 0o600)

        for row, plant in (("a folder", folder), ("a dangling link", dangling_link),
                           ("root's private lock file", private_file_of_root)):
            with self.subTest(row):
                app = self.trader(config=os.path.join(self.root, f"config-{len(row)}"))
                os.chown(app.config, TRADER, TRADER)
                plant(os.path.join(app.config, "Quilvern.ini.lock"))
                before = sorted(os.listdir(app.config))
                self.refused_at_start(app)
                self.assertEqual(sorted(os.listdir(app.config)), before, "nothing written")
                self.assertEqual(os.listdir(app.folder), ["quilvern"])

    def test_a_lock_file_left_by_root_still_keeps_one_copy(self):
        app = self.trader()
        lock = os.path.join(app.config, "Quilvern.ini.lock")
        with open(lock, "w"):
            pass
        os.chmod(lock, 0o644)  # as a `sudo quilvern` with the trader's HOME left it
        app.start()
        self.minimized(app)
        self.second_start_raises(app)
        app.close()

    # --- the socket ---------------------------------------------------------------

    def test_another_user_can_neither_reach_nor_raise_the_window(self):
        app = self.trader().start()
        self.minimized(app)
        def knock(name):
            return subprocess.run(
                as_user(STRANGER, [sys.executable, "-c", KNOCKER, name.hex()]),
                capture_output=True, text=True, timeout=20).stdout.strip()
        self.assertEqual(knock(old_address(app.settings_path, TRADER)), "ConnectionRefusedError",
                         "nothing listens where copies listened before")
        path = self.socket_path(app)
        self.assertEqual(os.stat(app.runtime).st_mode & 0o777, 0o700)
        self.assertEqual(knock(path.encode()), "PermissionError")
        # Root passes the folder's mode, but the program answers only its own user.
        with socket.socket(socket.AF_UNIX) as client:
            client.settimeout(5)
            client.connect(path)
            self.assertEqual(client.recv(16), b"", "dropped without an answer")
        state = self.desktop.run("xprop", "-id", str(app.window), "_NET_WM_STATE")
        self.assertIn("_NET_WM_STATE_HIDDEN", state, "still minimized")
        self.second_start_raises(app)
        app.close()

    def test_a_squatter_of_another_user_neither_silences_nor_hangs_a_second_start(self):
        for mode in ("accept", "full"):
            with self.subTest(mode):
                app = self.trader(config=os.path.join(self.root, f"config-{mode}"))
                os.chown(app.config, TRADER, TRADER)
                name = old_address(app.settings_path, TRADER)
                squatter = self.desktop.spawn(
                    as_user(STRANGER, [sys.executable, "-c", SQUATTER, name.hex(), mode]))
                wait_for(lambda: "@" + name[1:].decode() in abstract_names(), "the squatter")
                app.start()
                self.minimized(app)
                second = self.trader(config=app.config)
                second.start(wait=False)
                self.assertEqual(second.wait_for_end(5), 0)
                wait_for(lambda: self.desktop.active_window() == app.window,
                         "the first window in front")
                app.close()
                squatter.kill()

    def test_a_running_copy_that_does_not_answer_as_the_user_is_told_in_a_box(self):
        app = self.trader().start()
        path = self.socket_path(app)
        app.close()
        for mode in ("answers as root", "never accepts"):
            with self.subTest(mode), open(os.path.join(app.config, "Quilvern.ini.lock"),
                                          "rb") as lock, socket.socket(socket.AF_UNIX) as server:
                # Root holds the trader's lock and listens where the trader's copy would.
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                server.bind(path)
                os.chmod(path, 0o777)  # so that only the program's own checks refuse it
                server.listen(0)
                held = []
                if mode == "answers as root":
                    def answer():
                        connection = server.accept()[0]
                        connection.sendall(b"shown\n")
                        held.append(connection)
                    threading.Thread(target=answer, daemon=True).start()
                else:
                    held = fill_queue(path)
                second = self.trader()
                before = sorted(os.listdir(second.folder))
                try:
                    self.refused_at_start(second)
                finally:
                    os.unlink(path)
                self.assertEqual(sorted(os.listdir(second.folder)), before, "nothing written")
                for item in held:
                    item.close()

    # --- the program folder -------------------------------------------------------

    def test_one_program_folder_has_one_owner(self):
        app = self.app.start()
        for row, second in (
                ("another user", Quilvern(self.desktop, self.root, uid=STRANGER)),
                ("another settings file",
                 Quilvern(self.desktop, self.root, config=os.path.join(self.root, "config-2")))):
            with self.subTest(row):
                self.refused_at_start(second)
                self.assertFalse(os.path.exists(second.settings_path), "nothing written")
        app.close()
        self.assertTrue(os.path.exists(app.settings_path))

    # --- links and shared folders -------------------------------------------------

    def test_links_planted_by_another_user_are_never_followed(self):
        app = self.trader()
        os.chmod(app.folder, 0o1777)  # a shared folder: anyone may add files, as in /tmp
        profile = os.path.join(app.home, ".profile")
        secret = os.path.join(app.home, "secret.txt")
        for path, text in ((profile, b"export PATH\n"), (secret, b"my takings\r\n")):
            with open(path, "wb") as file:
                file.write(text)
            os.chown(path, TRADER, TRADER)
        os.chmod(secret, 0o600)
        os.chmod(app.home, 0o755)
        for name, target in (("Report01.txt", profile), ("Report05.txt", secret)):
            subprocess.run(as_user(STRANGER, ["ln", "-s", target, app.path(name)]), check=True)

        app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.click("Transfer")
        app.click("TransferJan")
        app.answer_box()  # Cannot create file .../Report01.txt
        app.click("YearReport")
        app.answer_box()  # Cannot open file .../Report01.txt, the first month it reads
        with open(profile, "rb") as file:
            self.assertEqual(file.read(), b"export PATH\n")
        self.assertFalse(app.exists("ReportYear.txt"))

        # The trader's own private month report makes a private year report.
        os.unlink(app.path("Report01.txt"))
        os.unlink(app.path("Report05.txt"))
        with open(app.path("Report05.txt"), "wb") as file:
            file.write(b"MAY SALES\r\n")
        os.chown(app.path("Report05.txt"), TRADER, TRADER)
        os.chmod(app.path("Report05.txt"), 0o600)
        app.click("YearReport")
        app.wait_for_file("BackupYear.txt")
        self.assertEqual(os.stat(app.path("ReportYear.txt")).st_mode & 0o777, 0o600)
        self.assertEqual(os.stat(app.path("BackupYear.txt")).st_mode & 0o777, 0o600)
        app.close()

    def test_a_plugin_planted_in_the_program_folder_is_never_loaded(self):
        plugin = os.path.join(os.path.dirname(PROGRAM), "e2e", "libplanted_plugin.so")
        os.makedirs(self.app.path("printsupport"))
        shutil.copy(plugin, self.app.path("printsupport"))
        mark = os.path.join(self.root, "planted-plugin-ran")
        self.app._user_env = {"PLANTED_PLUGIN_MARK": mark, "QT_DEBUG_PLUGINS": "1"}
        self.app.stderr_path = os.path.join(self.root, "plugins.log")
        app = self.app.start()
        app.transfer("Mar")
        app.click("ReportMar")
        app.key("ctrl+p")
        app.answer_box("Escape")  # the print dialog, which has asked for the print support
        app.close()
        self.assertFalse(os.path.exists(mark), "the planted plugin ran")
        # Qt's own CUPS plugin would win over the planted one here, so the log shows that
        # the program folder is not even looked at for what is loaded after start-up. (The
        # platform, theme, style and input plugins are chosen while the application is
        # made, before the folder can be taken out; see docs/reliability.md.)
        with open(self.app.stderr_path, encoding="utf-8", errors="replace") as log:
            looked = {line.split(app.folder + "/", 1)[1].split('"')[0] for line in log
                      if "checking directory path" in line and app.folder + "/" in line}
        self.assertFalse(looked & {"printsupport", "iconengines", "imageformats", "accessible"},
                         looked)

    # --- the smaller ones ---------------------------------------------------------

    def test_sigterm_while_a_start_up_box_is_open_ends_politely(self):
        self.app.write("Notes.txt", b"private notes")
        os.chmod(self.app.path("Notes.txt"), 0)
        self.app.start(wait=False)
        self.app.wait_for_box()
        self.assertEqual(self.app.kill(signal.SIGTERM), 0)
        self.assertEqual(self.app.read("Notes.txt"), b"private notes")
        self.assertFalse(os.path.exists(self.app.settings_path), "nothing written")

    def test_a_pasted_megabyte_name_comes_back_as_it_was_shown(self):
        app = self.app.start()
        self.desktop.set_clipboard("n" * (1 << 20))
        app.click("P001Name")
        app.key("ctrl+a", "ctrl+v")

        def shown():
            self.desktop.set_clipboard("-")
            app.click("P001Name")
            app.key("ctrl+a", "ctrl+c")
            return wait_for(lambda: self.desktop.selection() not in (None, "-")
                            and self.desktop.selection(), "the name on the clipboard")
        before = shown()
        self.assertEqual(len(before), 2047)
        app.close()
        app.start()
        self.assertEqual(shown(), before)
        app.close()

    def test_a_settings_file_of_256_megabytes_is_refused_at_start_and_kept(self):
        app = self.app
        with open(app.settings_path, "wb") as file:
            file.write(b"[Settings]\r\nSetTitle_Text=Huge\r\n")
            file.truncate(256 << 20)  # sparse: a hole after the first line
        before = os.stat(app.settings_path)
        app.start(wait=False)
        app.answer_start_box()
        app.wait_for_window()
        app.wait_for_caption("Quilvern")
        self.assertEqual(app.kill(signal.SIGTERM), 0)
        after = os.stat(app.settings_path)
        self.assertEqual((after.st_size, after.st_mtime_ns, after.st_ino),
                         (before.st_size, before.st_mtime_ns, before.st_ino))
