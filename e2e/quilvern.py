"""The real program on a private desktop, driven as a user drives it.

A test gets a scratch folder of its own that holds:
    program/quilvern   a copy of the program; its reports and Notes.txt appear beside it
    config/            XDG_CONFIG_HOME, where Quilvern.ini and its recovery copies go
    home/              HOME, also the window manager's

    class MyTest(QuilvernTest):
        def test_something(self):
            app = self.app.start()             # waits for the window
            app.click("P001Price")             # a control by its name (layout.py)
            app.type("2.5")
            app.key("ctrl+a", "Delete")
            self.desktop.set_primary("12")
            app.click("P001Price", button=2)   # middle-click paste
            app.answer_box()                   # Return in the box that has come up
            app.close()                        # as the window manager's close button does
            app.start()                        # again, in the same folder
            app.kill(signal.SIGTERM)           # or any signal; waits for the end
            app.read("Report03.txt"), app.settings(), app.ini()["Main"]["NormPos"]
            second = Quilvern(self.desktop, self.root)   # another copy, same folders
            other = Quilvern(self.desktop, self.root, uid=4242)  # another user, own
                                                  # config/home/runtime folders, same program

With QUILVERN_INSTALLED=1 the program is an installed copy (unpacked from the package):
it runs where it lies, from a folder it cannot write, as a user other than root when
the tests run as root (USER_ID), and its reports and Notes.txt appear in that user's
data folder, home/.local/share/quilvern/, which app.folder names.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import unittest

import layout

from desktop import SCREEN_SIZE, Desktop, wait_for

PROGRAM = os.environ.get("QUILVERN_PROGRAM") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "build", "quilvern")
INSTALLED = os.environ.get("QUILVERN_INSTALLED") == "1"
# The user an installed copy runs as when the tests run as root: no account is needed.
USER_ID = 4321


def as_user(uid, args):
    """The command that runs args as that user, with no groups; args itself for None."""
    if uid is None:
        return args
    return ["setpriv", f"--reuid={uid}", f"--regid={uid}", "--clear-groups", *args]


class Quilvern:
    """One program folder on one desktop; start() may be called again after an end."""

    def __init__(self, desktop, root, program=PROGRAM, uid=None, config=None,
                 installed=INSTALLED):
        """uid: run as that user (CI runs as root), with a config folder, a home and a
        private XDG_RUNTIME_DIR of its own, all owned by it; config: another config folder;
        installed: the program is an installed copy (see above)."""
        self.desktop = desktop
        self.installed = installed
        self.uid = uid
        suffix = "" if uid is None else f"-{uid}"
        self.config = config or os.path.join(root, "config" + suffix)
        os.makedirs(self.config, exist_ok=True)
        self._user_env = {}
        if installed:
            self._prepare_installed(root, program)
            return
        self.folder = os.path.join(root, "program")
        os.makedirs(self.folder, exist_ok=True)
        if uid is not None:
            os.chmod(root, 0o755)  # the other user must reach the program
            home, runtime = os.path.join(root, f"home-{uid}"), os.path.join(root, f"run-{uid}")
            for folder in (self.config, home, runtime):
                os.makedirs(folder, exist_ok=True)
                os.chown(folder, uid, uid)
                os.chmod(folder, 0o700)
            self._user_env = dict(HOME=home, XDG_RUNTIME_DIR=runtime,
                                  XDG_CACHE_HOME=os.path.join(home, ".cache"))
            self.home, self.runtime = home, runtime
        else:
            self.home = None
        self.executable = os.path.join(self.folder, "quilvern")
        self.command = [self.executable]
        if not os.path.exists(self.executable):
            try:
                os.link(program, self.executable)
            except OSError:
                shutil.copy2(program, self.executable)
        self._reset()

    def _prepare_installed(self, root, program):
        """The installed program stays where it lies; its user gets a home, a runtime
        folder and the configuration folder of its own."""
        self.executable = program
        self.home = os.path.join(root, "user")
        self.runtime = os.path.join(root, "runtime")
        self.folder = os.path.join(self.home, ".local", "share", "quilvern")
        self.command = [program]
        os.makedirs(self.home, exist_ok=True)
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        if os.geteuid() == 0:
            os.chmod(root, 0o755)
            for folder in (self.home, self.runtime, self.config):
                os.chown(folder, USER_ID, USER_ID)
            self.command = ["setpriv", f"--reuid={USER_ID}", f"--regid={USER_ID}",
                            "--clear-groups", "--", program]
        self._reset()

    def _reset(self):
        self.environment = {}  # more variables for the program, e.g. QT_SCALE_FACTOR
        self.client_size = layout.CLIENT_SIZE  # in the screen's pixels
        self.process = None
        self.window = None
        self.stderr_path = None  # when set, where the next start writes its standard error
        self._origin = None
        self._menu_spot = 40  # across the top bar's bare spot, see context_menu

    # --- life ---------------------------------------------------------------------

    def start(self, wait=True):
        """Starts the program, and by default waits until its window is on screen,
        framed by the window manager."""
        if self.running():
            raise RuntimeError("the program is running already")
        env = self.desktop.environment(XDG_CONFIG_HOME=self.config, QT_QPA_PLATFORM="xcb",
                                       **self._user_env)
        if self.installed:
            env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime)
        env.update(self.environment)
        stderr = subprocess.DEVNULL
        if self.stderr_path:
            stderr = open(self.stderr_path, "ab")
        self.process = self.desktop.spawn(as_user(self.uid, self.command), env=env,
                                          cwd=self.home if self.installed else self.folder,
                                          stderr=stderr)
        if self.stderr_path:
            stderr.close()
        self.window = None
        self._origin = None
        if wait:
            self.wait_for_window()
        return self

    def wait_for_window(self, timeout=15):
        """Waits for the main window: shown, of the designed client size, and framed."""
        def framed():
            if self.process.poll() is not None:
                raise RuntimeError(f"the program ended with {self.process.returncode}")
            for window in self.windows():
                if (self.desktop.client_size(window) == self.client_size
                        and self.desktop.frame_extents(window)):
                    return window
            return None
        self.window = wait_for(framed, "the program's window", timeout)
        return self.window

    def windows(self):
        """Every window of the program on screen now: the main window, error boxes."""
        return self.desktop.visible_windows_of(self.process.pid)

    def wait_for_box(self, timeout=10):
        """Waits for a box of the program (any window but the main one) to be framed and
        to hold the keyboard focus, so that keys reach it; returns it."""
        def focused_box():
            box = self.desktop.active_window()
            if (box != self.window and box in self.windows()
                    and self.desktop.frame_extents(box)):
                return box
            return None
        return wait_for(focused_box, "a box with the keyboard focus", timeout)

    def answer_start_box(self, key="Return", timeout=10):
        """For a box that comes up before the main window: waits for a focused window of
        the program that is not of the main window's size, answers it, waits it away."""
        def focused_box():
            box = self.desktop.active_window()
            if (box in self.windows() and self.desktop.frame_extents(box)
                    and self.desktop.client_size(box) != layout.CLIENT_SIZE):
                return box
            return None
        box = wait_for(focused_box, "a box at start with the keyboard focus", timeout)
        self.key(key)
        wait_for(lambda: box not in self.windows(), "the box to close")

    def answer_box(self, key="Return"):
        """Presses a key in the next box and waits until the box has gone."""
        box = self.wait_for_box()
        self.key(key)
        wait_for(lambda: box not in self.windows(), "the box to close")

    def running(self):
        return self.process is not None and self.process.poll() is None

    def close(self, timeout=10):
        """Closes the window through the window manager and waits for the program to end;
        returns its exit status."""
        self.desktop.close_window(self.window)
        return self.wait_for_end(timeout)

    def kill(self, sig=signal.SIGKILL, timeout=10):
        """Sends a signal to the program and waits for it to end; returns its status."""
        self.process.send_signal(sig)
        return self.wait_for_end(timeout)

    def wait_for_end(self, timeout=10):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"the program did not end within {timeout} s") from None

    # --- where things are ---------------------------------------------------------

    def origin(self):
        """The screen position of the client area, read once per start: the tests do not
        move the window while they click in it (after move(), it is read again)."""
        if self._origin is None:
            self._origin = self.desktop.client_origin(self.window)
        return self._origin

    def place(self, name, dx=None, dy=None):
        """The screen point of a control: its middle, or dx, dy from its top-left corner."""
        left, top, width, height = layout.PLACES[name]
        x = left + (width // 2 if dx is None else dx)
        y = top + (height // 2 if dy is None else dy)
        ox, oy = self.origin()
        return ox + x, oy + y

    def move(self, x, y):
        """Moves the window as a user dragging it would, through the window manager."""
        self.desktop.move_window(self.window, x, y)
        self._origin = None

    # --- input --------------------------------------------------------------------

    def click(self, name, button=1, dx=None, dy=None, repeat=1):
        self.desktop.click_at(*self.place(name, dx, dy), button=button, repeat=repeat)

    def hover(self, name, dx=None, dy=None):
        self.desktop.move_pointer(*self.place(name, dx, dy))

    def type(self, text):
        self.desktop.type(text)

    def key(self, *keys):
        self.desktop.key(*keys)

    def replace_text(self, name, text):
        """Clicks into a field, selects all it holds and types text over it."""
        self.click(name)
        self.key("ctrl+a")
        self.type(text)

    def fill_line(self, n, name, price, quantity):
        """Opens the page of sheet line n and types its three fields."""
        self.click(layout.line_page(n))
        self.replace_text(f"P{n:03d}Name", name)
        self.replace_text(f"P{n:03d}Price", price)
        self.replace_text(f"P{n:03d}Quantity", quantity)

    def transfer(self, month, content=None):
        """Opens the transfer view, transfers the month ("Mar") and waits until its backup
        is written (with exactly that content); returns the bytes of its report."""
        number = layout.MONTHS.index(month) + 1
        self.click("Transfer")
        self.click(f"Transfer{month}")
        self.wait_for_file(f"Backup{number:02d}.txt", content)
        return self.read(f"Report{number:02d}.txt")

    def context_menu(self, *keys):
        """Opens the top bar's context menu with the right button and picks an item by
        keys, e.g. ("Up", "Return") for the last one, "About Quilvern ..."."""
        before = set(self.windows())
        # Two right clicks on one spot in quick succession make a double click, which
        # opens no menu: each call clicks a spot away from the last.
        self._menu_spot = 50 - self._menu_spot
        self.click("TopBar", button=3, dx=self._menu_spot)
        # Keys sent before the menu is up would go to the window beneath it.
        wait_for(lambda: set(self.windows()) - before, "the context menu")
        self.key(*keys)
        # The menu keeps its window for the next time: wait until it is gone from the
        # screen, so that the next call sees it come up again.
        wait_for(lambda: set(self.windows()) <= before, "the context menu to close")

    # --- what it shows ------------------------------------------------------------

    def caption(self, name="_NET_WM_NAME"):
        """The window's title as the window manager reads it: _NET_WM_NAME, or WM_NAME."""
        return self.desktop.property_text(self.window, name)

    def wait_for_caption(self, text, timeout=10):
        wait_for(lambda: self.caption() == text, f"the caption {text!r}", timeout)

    # --- files --------------------------------------------------------------------

    def path(self, name):
        return os.path.join(self.folder, name)

    def exists(self, name):
        return os.path.exists(self.path(name))

    def read(self, name):
        with open(self.path(name), "rb") as file:
            return file.read()

    def write(self, name, data):
        with open(self.path(name), "wb") as file:
            file.write(data)

    def wait_for_file(self, name, content=None, timeout=10):
        """Waits until the program folder holds the file (with exactly that content)."""
        def ready():
            try:
                data = self.read(name)
            except OSError:
                return None
            return content is None or data == content
        wait_for(ready, f"{name}" + ("" if content is None else f" to hold {content!r}"),
                 timeout)
        return self.read(name)

    @property
    def settings_path(self):
        return os.path.join(self.config, "Quilvern.ini")

    def settings(self):
        with open(self.settings_path, "rb") as file:
            return file.read()

    def write_settings(self, data):
        with open(self.settings_path, "wb") as file:
            file.write(data)

    def ini(self, data=None):
        """The settings file as {section: {key: value}}, keys in their written case."""
        text = (self.settings() if data is None else data).decode("cp1252")
        sections = {}
        current = None
        for line in text.split("\r\n"):
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif "=" in line and current is not None:
                key, value = line.split("=", 1)
                current[key] = value
        return sections

    def recovery_written(self):
        return os.path.exists(self.settings_path + ".recovery")

    def recovery(self):
        """The recovery copy of the settings as the running program last wrote it, or None."""
        try:
            with open(self.settings_path + ".recovery", "rb") as file:
                return file.read()
        except OSError:
            return None


class QuilvernTest(unittest.TestCase):
    """A test with its own scratch folder, desktop and program folder, all gone after it."""

    SCREEN = SCREEN_SIZE  # of the X display, in pixels

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="quilvern-e2e-")
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        home = os.path.join(self.root, "home")
        os.makedirs(home)
        os.chmod(home, 0o700)  # it is also XDG_RUNTIME_DIR, which is private
        self.desktop = Desktop(home, self.SCREEN)
        self.addCleanup(self.desktop.stop)
        self.desktop.start()
        self.app = Quilvern(self.desktop, self.root)
