"""The program as the package installs it, unpacked from the .deb: it runs from a folder
it cannot write, as an ordinary user, and keeps that user's reports and notes in the
user's data folder. tests/package/package_test.sh runs these with QUILVERN_INSTALLED=1."""

import os
import stat
import unittest

import quilvern
from quilvern import QuilvernTest


@unittest.skipUnless(quilvern.INSTALLED, "needs the unpacked package (QUILVERN_INSTALLED=1)")
class InstalledCopyTest(QuilvernTest):
    def program_folder(self):
        folder = os.path.dirname(self.app.executable)
        return sorted(os.listdir(folder))

    def test_a_day_and_a_restart_live_in_the_users_data_folder(self):
        app = self.app
        before = self.program_folder()
        mode = os.stat(os.path.dirname(app.executable)).st_mode
        self.assertEqual(stat.S_IMODE(mode) & 0o222, 0, "the program folder must be read-only")
        app.start()
        self.assertEqual(stat.S_IMODE(os.stat(app.folder).st_mode), 0o700,
                         "the data folder is the user's alone")
        if os.geteuid() == 0:
            self.assertEqual(os.stat(app.folder).st_uid, quilvern.USER_ID)
        app.fill_line(1, "Tea", "2.5", "4")
        # 2.5 x 4 = 10.00
        march = (b"MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\n"
                 b"MARCH TOTAL = $10.00\r\n")
        self.assertEqual(app.transfer("Mar", march), march)
        app.click("YearReport")
        year = (b"SALES REPORT FOR YEAR\r\n\r\n\r\n" + march +
                b"\r\n\r\nFINAL TOTAL FOR YEAR = $10.00\r\n")
        self.assertEqual(app.wait_for_file("BackupYear.txt", year), year)
        self.assertEqual(app.read("ReportYear.txt"), year)
        app.click("ReportClose")  # the viewer's bar covers the view buttons
        app.click("Notes")
        app.click("NoteText")
        app.type("order flour")
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.read("Notes.txt"), b"order flour")
        self.assertEqual(app.ini()["Transfer"]["TotalMarch_Value"], "10")

        app.start()
        app.click("Notes")
        app.click("NoteText")
        app.key("ctrl+End")
        app.type(", sugar")
        # The restored sheet: 2.5 x 4 again, now for April.
        april = march.replace(b"MARCH", b"APRIL")
        self.assertEqual(app.transfer("Apr", april), april)
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.read("Notes.txt"), b"order flour, sugar")
        transfer = app.ini()["Transfer"]
        self.assertEqual((transfer["TotalMarch_Value"], transfer["TotalYear_Value"]),
                         ("10", "20"))
        self.assertEqual(sorted(os.listdir(app.folder)),
                         ["Backup03.txt", "Backup04.txt", "BackupYear.txt", "Notes.txt",
                          "Report03.txt", "Report04.txt", "ReportYear.txt"])
        self.assertEqual(self.program_folder(), before, "nothing is written beside the program")
