"""The viewer's "Print..." and "Save as PDF...", through the real dialogs, judged by
the text of the PDF they write (poppler's pdftotext)."""

import os
import subprocess

from quilvern import QuilvernTest
from desktop import wait_for

MARCH = (b"MARCH SALES\r\n\r\nTea @ \xa32.50 x 4 = \xa310.00\r\n\r\n"
         b"MARCH TOTAL = \xa310.00\r\n")


def pdf_lines(path):
    text = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True,
                          check=True, timeout=20).stdout.decode("utf-8")
    return [line.rstrip() for line in text.splitlines() if line.strip()]


class ReportOutputTest(QuilvernTest):
    def setUp(self):
        super().setUp()
        self.documents = os.path.join(self.desktop.home, "Documents")
        os.makedirs(self.documents)

    def open_march_in_pounds(self):
        """March's report in the viewer, the title "Stall" and the pound sign."""
        app = self.app.start()
        app.click("Settings")
        app.replace_text("SetTitle", "Stall")
        app.click("Currency")
        app.key("Down", "Down")  # from "Dollar ($)" to "Pounds (\u00a3)"
        app.fill_line(1, "Tea", "2.5", "4")
        app.transfer("Mar", MARCH)
        app.click("ReportMar")
        return app

    def through_dialog(self, open_it, *keys):
        """Opens a dialog by calling open_it, waits for it, then presses the keys in it."""
        open_it()
        self.app.wait_for_box(timeout=15)
        self.app.key(*keys)

    def wait_for_pdf(self, path):
        wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, path, timeout=15)
        # The file appears whole (it is renamed into place), but poppler may still race
        # the rename on a slow disk; reading twice is harmless.
        return wait_for(lambda: pdf_lines(path), f"the text of {path}")

    def assert_march(self, lines):
        self.assertTrue(lines[0].startswith("Stall"), lines[0])
        self.assertEqual(lines[1:4], ["MARCH SALES", "Tea @ \u00a32.50 x 4 = \u00a310.00",
                                      "MARCH TOTAL = \u00a310.00"])
        self.assertEqual(lines[-1].strip(), "page 1 of 1")

    def test_save_as_pdf_offers_the_reports_name_in_the_documents_folder(self):
        app = self.open_march_in_pounds()
        self.through_dialog(lambda: app.key("ctrl+shift+s"), "Return")
        self.assert_march(self.wait_for_pdf(os.path.join(self.documents, "Report03.pdf")))

    def test_save_as_pdf_under_a_typed_name_adds_the_extension(self):
        app = self.open_march_in_pounds()
        self.through_dialog(lambda: app.click("ReportSavePdf"), "ctrl+a")
        app.type("for the accountant")
        app.key("Return")
        self.assert_march(
            self.wait_for_pdf(os.path.join(self.documents, "for the accountant.pdf")))

    def test_print_without_a_printer_prints_to_a_pdf_file(self):
        app = self.open_march_in_pounds()
        self.through_dialog(lambda: app.key("ctrl+p"), "Return")
        self.assert_march(self.wait_for_pdf(os.path.join(self.documents, "Report03.pdf")))
