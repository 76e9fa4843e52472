"""The report viewer, read through its "Copy To Clipboard" button."""

from quilvern import QuilvernTest
from desktop import wait_for

JANUARY = (b"JANUARY SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\n"
           b"JANUARY TOTAL = $10.00\r\n")


class ViewerTest(QuilvernTest):
    def copied_text(self):
        """Presses "Copy To Clipboard" and returns what the clipboard then holds."""
        self.desktop.set_clipboard("before the copy")
        self.app.click("ReportCopy")
        return wait_for(lambda: (text := self.desktop.selection()) != "before the copy" and text,
                        "the viewer's copy")

    def open_january(self):
        """Sells tea, transfers January and opens its report."""
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.transfer("Jan", JANUARY)
        app.click("ReportJan")
        return app

    def test_copy_gives_the_report_just_written(self):
        self.open_january()
        self.assertEqual(self.copied_text(), JANUARY.decode())

    def test_reopening_a_report_shows_the_files_text_not_the_edits(self):
        app = self.open_january()
        app.click("ReportText")
        app.key("ctrl+Home")
        app.type("XYZ ")
        app.click("ReportClose")
        app.click("ReportJan")
        self.assertEqual(self.copied_text(), JANUARY.decode())
        self.assertEqual(app.read("Report01.txt"), JANUARY)
