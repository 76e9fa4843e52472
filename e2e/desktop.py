"""A private X desktop for one test: an Xvfb display of its own with the openbox window
manager, and real input on it through xdotool, xclip and wmctrl. Every process it
starts is ended by stop(), and dies with the test process even if that is killed."""

import ctypes
import os
import signal
import struct
import subprocess
import time
import zlib

SCREEN_SIZE = (1024, 768)

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)

# Nothing of the session that runs the tests may reach the desktop: its display, its
# D-Bus, its Qt settings.
_KEPT_VARIABLES = ("PATH", "LANG", "TMPDIR", "ASAN_OPTIONS", "UBSAN_OPTIONS")

_OPENBOX_CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>
  <desktops><number>1</number></desktops>
</openbox_config>
"""


def _die_with_parent():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def wait_for(condition, what, timeout=10.0, interval=0.02):
    """Polls condition() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class Desktop:
    """One display with a window manager. `home` holds the window manager's own files."""

    def __init__(self, home, screen=SCREEN_SIZE):
        self.home = home
        self.screen = screen
        self.display = None
        self._processes = []

    # --- life ---------------------------------------------------------------------

    def start(self):
        read_end, write_end = os.pipe()
        try:
            # The frame buffer is kept as a file too, for screenshots.
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                        f"{self.screen[0]}x{self.screen[1]}x24", "-nolisten", "tcp",
                        "-noreset", "-fbdir", self.home], pass_fds=(write_end,),
                       with_display=False)
            os.close(write_end)
            write_end = None
            number = b""
            while not number.endswith(b"\n"):
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb ended before it named its display")
                number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        config = os.path.join(self.home, "openbox-rc.xml")
        with open(config, "w", encoding="utf-8") as file:
            file.write(_OPENBOX_CONFIG)
        self.spawn(["openbox", "--sm-disable", "--config-file", config])
        wait_for(self._window_manager_ready, "the window manager")

    def stop(self):
        """Kills every process of the desktop, the X server last: asked to end, it
        removes its lock file and socket."""
        if not self._processes:
            return
        server, clients = self._processes[0], self._processes[1:]
        for process in reversed(clients):
            if process.poll() is None:
                process.kill()
        for process in clients:
            process.wait()
        server.terminate()
        try:
            server.wait(timeout=5)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()
        self._processes.clear()

    def lose_display(self):
        """Ends the X server on the spot, under its clients, as a display that goes away."""
        self._processes[0].kill()
        self._processes[0].wait()

    def environment(self, **extra):
        env = {name: os.environ[name] for name in _KEPT_VARIABLES if name in os.environ}
        env.update(HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_RUNTIME_DIR=self.home, LC_ALL="C.UTF-8")
        if self.display:
            env["DISPLAY"] = self.display
        env.update(extra)
        return env

    def spawn(self, args, env=None, cwd=None, pass_fds=(), with_display=True,
              stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL):
        """Starts a process that stop() ends; it also dies when the test process does."""
        process = subprocess.Popen(
            args, env=env if env is not None else self.environment(), cwd=cwd,
            stdin=stdin, stdout=subprocess.DEVNULL, stderr=stderr,
            pass_fds=pass_fds, preexec_fn=_die_with_parent)
        self._processes.append(process)
        return process

    def run(self, *args, stdin=None, check=True):
        """Runs an X client on this display to its end and returns what it printed."""
        result = subprocess.run(args, env=self.environment(), input=stdin,
                                capture_output=True, timeout=20)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode("utf-8", errors="replace")

    def _window_manager_ready(self):
        text = self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
        return "window id" in text

    # --- windows ------------------------------------------------------------------

    def visible_windows_of(self, pid):
        text = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check=False)
        return [int(word) for word in text.split()]

    def active_window(self):
        """The window the window manager has given the keyboard focus, or None."""
        text = self.run("xprop", "-root", "_NET_ACTIVE_WINDOW", check=False)
        return int(text.split("#", 1)[1].split(",")[0], 16) if "#" in text else None

    def client_origin(self, window):
        """The screen position of the window's client area."""
        text = self.run("xwininfo", "-id", str(window))
        return (int(_field(text, "Absolute upper-left X:")),
                int(_field(text, "Absolute upper-left Y:")))

    def client_size(self, window):
        text = self.run("xwininfo", "-id", str(window), check=False)
        if "Width:" not in text:
            return None
        return int(_field(text, "Width:")), int(_field(text, "Height:"))

    def frame_extents(self, window):
        """left, right, top, bottom of the frame the window manager drew around it."""
        text = self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS", check=False)
        if "=" not in text:
            return None
        return tuple(int(word) for word in text.split("=", 1)[1].split(","))

    def property_text(self, window, name):
        """A text property of a window ("" when empty); None when it is not set."""
        text = self.run("xprop", "-id", str(window), name, check=False)
        if "=" not in text:
            return None
        value = text.split("=", 1)[1].strip()
        return value[1:-1] if len(value) >= 2 and value[0] == value[-1] == '"' else value

    def close_window(self, window):
        """Asks the window manager to close the window, as its close button does."""
        self.run("wmctrl", "-i", "-c", hex(window))

    def move_window(self, window, x, y):
        self.run("xdotool", "windowmove", str(window), str(x), str(y))

    # --- input --------------------------------------------------------------------

    # No --sync: it waits for a motion that never comes when the pointer is there
    # already. The server handles the move before the click all the same.
    def click_at(self, x, y, button=1, repeat=1):
        self.run("xdotool", "mousemove", str(x), str(y),
                 "click", "--repeat", str(repeat), str(button))

    def move_pointer(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))

    def type(self, text):
        self.run("xdotool", "type", "--delay", "2", "--", text)

    def key(self, *keys):
        """Presses and releases each key or chord in turn: "ctrl+a", "Delete", "Return"."""
        self.run("xdotool", "key", "--delay", "2", *keys)

    # --- selections ---------------------------------------------------------------

    def set_selection(self, text, selection="clipboard"):
        """Puts text on the clipboard or the primary selection, held by xclip until
        another program takes it or the desktop stops."""
        holder = self.spawn(["xclip", "-quiet", "-selection", selection, "-i"],
                            stdin=subprocess.PIPE)
        holder.stdin.write(text.encode("utf-8"))
        holder.stdin.close()
        wait_for(lambda: self.selection(selection) == text, f"the {selection} to hold the text")

    def set_clipboard(self, text):
        self.set_selection(text, "clipboard")

    def set_primary(self, text):
        self.set_selection(text, "primary")

    def selection(self, selection="clipboard"):
        """The text the selection holds now; None when nobody holds any."""
        result = subprocess.run(["xclip", "-o", "-selection", selection],
                                env=self.environment(), capture_output=True, timeout=10)
        if result.returncode != 0:
            return None
        return result.stdout.decode("utf-8", errors="replace")


    # --- pictures -----------------------------------------------------------------

    def screenshot(self, path):
        """Saves the whole screen as a PNG file, from the frame buffer Xvfb keeps as an
        XWD file (32 bits a pixel, blue first)."""
        with open(os.path.join(self.home, "Xvfb_screen0"), "rb") as file:
            data = file.read()
        header = struct.unpack(">25I", data[:100])
        header_size, width, height = header[0], header[4], header[5]
        bytes_per_line, colours = header[12], header[19]
        start = header_size + 12 * colours
        rows = []
        for y in range(height):
            line = data[start + y * bytes_per_line:start + y * bytes_per_line + 4 * width]
            rgb = bytearray(3 * width)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows.append(b"\0" + bytes(rgb))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body)))
        png = (b"\x89PNG\r\n\x1a\n" +
               chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
        with open(path, "wb") as file:
            file.write(png)


def _field(text, label):
    for line in text.splitlines():
        line = line.strip()
        if line.startswith(label):
            return line[len(label):].strip()
    raise ValueError(f"no '{label}' in: {text}")
