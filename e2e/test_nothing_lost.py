"""Nothing a trader typed or transferred is lost: one running copy per settings file, a
recovery copy trusted only against its own settings file, polite ends that save, and
files that cannot be written named in the box."""

import fcntl
import glob
import os
import signal
import struct
import subprocess
import time

from quilvern import Quilvern, QuilvernTest
from desktop import wait_for

MARCH = (b"MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\n"
         b"MARCH TOTAL = $10.00\r\n")

_FS_IOC_GETFLAGS = 0x80086601
_FS_IOC_SETFLAGS = 0x40086602
_FS_IMMUTABLE_FL = 0x10


def set_immutable(folder, on):
    """Makes a folder take no new file, for root as well; False where that cannot be."""
    fd = os.open(folder, os.O_RDONLY | os.O_DIRECTORY)
    try:
        flags = struct.unpack("i", fcntl.ioctl(fd, _FS_IOC_GETFLAGS, struct.pack("i", 0)))[0]
        flags = flags | _FS_IMMUTABLE_FL if on else flags & ~_FS_IMMUTABLE_FL
        fcntl.ioctl(fd, _FS_IOC_SETFLAGS, struct.pack("i", flags))
        return True
    except OSError:
        return False
    finally:
        os.close(fd)


class NothingLostTest(QuilvernTest):
    def sell_tea(self, app):
        app.fill_line(1, "Tea", "2.5", "4")

    # --- one running copy ---------------------------------------------------------

    def test_a_second_start_brings_the_first_to_the_front_and_writes_nothing(self):
        app = self.app.start()
        self.sell_tea(app)
        self.desktop.run("xdotool", "windowminimize", "--sync", str(app.window))
        second = Quilvern(self.desktop, self.root)
        second.start(wait=False)
        self.assertEqual(second.wait_for_end(5), 0)
        wait_for(lambda: self.desktop.active_window() == app.window, "the first window in front")
        self.assertEqual(os.listdir(app.config), ["Quilvern.ini.lock"],
                         "the second copy wrote nothing, not even a recovery copy")
        self.assertEqual(sorted(os.listdir(app.folder)), ["quilvern"])

        app.close()
        self.assertEqual(app.ini()["Quantity"]["P001Quantity_Value"], "4")

    def test_a_crashed_copy_never_blocks_the_next_start(self):
        app = self.app.start()
        app.kill(signal.SIGKILL)
        app.start()
        app.close()
        self.assertTrue(os.path.exists(app.settings_path))

    # --- a recovery copy that can be trusted ---------------------------------------

    def test_a_settings_file_restored_after_a_crash_wins_over_the_recovery_copy(self):
        app = self.app.start()
        app.click("Settings")
        app.replace_text("SetTitle", "Before the backup")
        app.close()
        backup = app.settings()

        app.start()
        app.click("Settings")
        app.replace_text("SetTitle", "Typed after")
        wait_for(lambda: b"Typed after" in (app.recovery() or b""), "a recovery copy")
        app.kill(signal.SIGKILL)
        time.sleep(0.01)  # a copied file gets a time of its own
        app.write_settings(backup)  # as the README says to restore a backup

        app.start()
        app.wait_for_caption("Before the backup")
        aside = sorted(os.path.basename(p).split(".set-aside-")[0]
                       for p in glob.glob(app.settings_path + "*.set-aside-*"))
        self.assertEqual(aside, ["Quilvern.ini.recovery"])
        app.close()
        self.assertEqual(app.ini()["Settings"]["SetTitle_Text"], "Before the backup")

    def test_a_kill_right_after_a_transfer_keeps_files_and_months_agreeing(self):
        app = self.app.start()
        self.sell_tea(app)
        app.transfer("Mar", MARCH)
        wait_for(lambda: b"TotalMarch_Value=10\r\n" in (app.recovery() or b""),
                 "the snapshot taken with the transfer", timeout=1)
        app.kill(signal.SIGKILL)

        app.start()
        app.close()
        self.assertEqual(app.ini()["Transfer"]["TotalMarch_Value"], "10")
        self.assertEqual(app.read("Report03.txt"), MARCH)

    # --- polite ends ----------------------------------------------------------------

    def polite_end(self, sig):
        app = self.app.start()
        self.sell_tea(app)
        app.click("Notes")
        app.click("NoteText")
        app.type("said goodbye")
        self.assertEqual(app.kill(sig), 0)
        self.assertEqual(app.ini()["Price"]["P001Price_Value"], "2.5")
        self.assertEqual(app.read("Notes.txt"), b"said goodbye")
        self.assertFalse(app.recovery_written(), "saved as a close: no recovery copy left")

    def test_sigterm_saves_as_a_close_does(self):
        self.polite_end(signal.SIGTERM)

    def test_sighup_saves_as_a_close_does(self):
        self.polite_end(signal.SIGHUP)

    def test_a_polite_end_that_cannot_write_the_notes_keeps_the_recovery_copy(self):
        os.makedirs(os.path.join(self.app.folder, "Notes.txt"))  # the notes cannot be written
        app = self.app.start()
        self.sell_tea(app)
        self.assertEqual(app.kill(signal.SIGTERM), 0)
        self.assertIn(b"P001Price_Value=2.5\r\n", app.recovery())
        self.assertEqual(app.ini()["Price"]["P001Price_Value"], "2.5")

    def test_a_lost_display_writes_the_recovery_copy_on_the_way_out(self):
        app = self.app.start()
        self.sell_tea(app)
        self.assertFalse(app.recovery_written(), "typed just now, not yet in a snapshot")
        self.desktop.lose_display()
        self.assertNotEqual(app.wait_for_end(), 0)
        self.assertIn(b"P001Quantity_Value=4\r\n", app.recovery())

    # --- totals that overflow -----------------------------------------------------

    def test_a_price_whose_total_overflows_is_refused_and_everything_stays(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "1", "100")
        windows = set(app.windows())
        app.replace_text("P001Price", "1E4931")  # x 100 is beyond the largest amount
        app.answer_box()
        app.click("FinalTotal")  # a read-only total: leaving it again must not complain
        app.click("P002Name")
        self.assertEqual(set(app.windows()), windows)
        app.close()
        saved = app.ini()
        self.assertEqual(saved["Price"]["P001Price_Value"], "1E493")
        self.assertEqual(saved["Total"]["P001Total_Value"], "1E495")
        self.assertEqual(saved["Total"]["FinalTotal_Value"], "1E495")

    # --- files that cannot be written ---------------------------------------------

    def test_a_killed_save_leaves_no_temporary_file_at_the_next_start(self):
        app = self.app
        os.makedirs(app.config, exist_ok=True)
        leftovers = [os.path.join(app.folder, ".Quilvern-tmp-Report01.txt-a1B2c3"),
                     os.path.join(app.folder, ".Quilvern-tmp-Notes.txt-ZZZZZZ"),
                     os.path.join(app.config, ".Quilvern-tmp-Quilvern.ini-123456"),
                     os.path.join(app.config, ".Quilvern-tmp-Quilvern.ini.recovery-Qw3Rt5")]
        # An editor's swap file and the user's own copies are never the program's.
        others = {os.path.join(app.folder, ".Notes.txt.swp"): b"30 unsaved lines",
                  os.path.join(app.folder, ".Notes.txt.bak"): b"bak",
                  os.path.join(app.folder, ".Notes.txt.orig"): b"orig",
                  os.path.join(app.config, ".Quilvern.ini.bak"): b"[Main]\r\n",
                  os.path.join(app.config, ".Quilvern.ini.recovery.old"): b"old"}
        for path in leftovers:
            with open(path, "wb") as file:
                file.write(b"half")
        for path, data in others.items():
            with open(path, "wb") as file:
                file.write(data)
        app.start()
        self.assertEqual([p for p in leftovers if os.path.exists(p)], [])
        app.close()
        for path, data in others.items():
            with open(path, "rb") as file:
                self.assertEqual(file.read(), data, path)

    def test_a_full_disk_names_the_file_and_keeps_the_old_report(self):
        app = self.app.start()
        self.sell_tea(app)
        app.transfer("Jan")
        old = app.read("Report01.txt")
        for n in range(2, 11):
            app.fill_line(n, f"Product number {n}", "1", str(n))
        # Files of the program may grow to 200 bytes only, as on a disk that is full.
        subprocess.run(["prlimit", f"--pid={app.process.pid}", "--fsize=200:unlimited"],
                       check=True)
        app.click("Transfer")
        app.click("TransferJan")
        app.wait_for_box()
        self.assertTrue(app.running())
        self.assertEqual(app.read("Report01.txt"), old)
        self.assertEqual(glob.glob(os.path.join(app.folder, ".Quilvern-tmp-*")), [])

    def test_a_notes_file_too_large_to_hold_is_refused_and_kept(self):
        app = self.app
        with open(app.path("Notes.txt"), "wb") as file:
            file.truncate(1 << 30)  # a gigabyte, sparse: nothing of it is on the disk
        app.start(wait=False)
        # One box for each run of the start-up: when the window is built and when shown.
        for _ in range(2):
            app.answer_box()
        app.wait_for_window()
        wait_for(lambda: app.windows() == [app.window], "no box left")
        self.assertEqual(app.close(), 0)
        self.assertEqual(os.path.getsize(app.path("Notes.txt")), 1 << 30)

    def test_a_folder_that_takes_no_new_file_still_lets_the_window_close(self):
        app = self.app
        app.write("Notes.txt", b"old notes")
        app.start()
        if not set_immutable(app.folder, True):
            self.skipTest("cannot make a folder refuse new files here")
        self.addCleanup(set_immutable, app.folder, False)
        app.click("Notes")
        app.click("NoteText")
        app.key("ctrl+a")
        app.type("new notes")
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.read("Notes.txt"), b"new notes")
