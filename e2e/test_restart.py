"""What a run leaves behind comes back at the next start: after a close, and after a
crash through the recovery copy."""

import signal

from quilvern import QuilvernTest
from desktop import wait_for


class RestartTest(QuilvernTest):
    def fill_a_day(self, app):
        app.fill_line(1, "Tea", "2.5", "4")
        app.fill_line(23, "Cake", "1.25", "10")
        app.click("Settings")
        app.replace_text("SetTitle", "Shop")
        app.click("Notes")
        app.click("NoteText")
        app.type("buy milk")
        app.transfer("Mar")

    def test_a_restart_brings_everything_back(self):
        app = self.app.start()
        self.fill_a_day(app)
        app.close()
        first = app.ini()
        self.assertEqual(first["Name"]["P023Name_Text"], "Cake")
        self.assertEqual(first["Price"]["P001Price_Value"], "2.5")
        self.assertEqual(first["Quantity"]["P023Quantity_Value"], "10")
        self.assertEqual(first["Transfer"]["TotalMarch_Value"], "22.5")
        self.assertEqual(first["Settings"]["SetTitle_Text"], "Shop")
        self.assertEqual(app.read("Notes.txt"), b"buy milk")

        app.start()
        app.wait_for_caption("Shop")
        # 2.5 x 4 + 1.25 x 10 = 22.50, from the restored sheet.
        april = (b"APRIL SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n"
                 b"Cake @ $1.25 x 10 = $12.50\r\n\r\nAPRIL TOTAL = $22.50\r\n")
        self.assertEqual(app.transfer("Apr", april), april)
        app.close()
        second = app.ini()
        first["Transfer"].update(TotalApril_Value="22.5", TotalYear_Value="45")
        self.assertEqual(second, first)
        self.assertEqual(app.read("Notes.txt"), b"buy milk")

    def test_a_killed_run_comes_back_from_its_recovery_copy(self):
        app = self.app.start()
        self.fill_a_day(app)
        # The transfer is the last change; a copy taken in a pause before it would not do.
        wait_for(lambda: b"TotalMarch_Value=22.5\r\n" in (app.recovery() or b""),
                 "a recovery copy with the transfer")
        app.kill(signal.SIGKILL)
        self.assertFalse(app.exists("Notes.txt"), "the settings and notes are written at close")

        app.start()
        app.wait_for_caption("Shop")
        app.close()
        recovered = app.ini()
        self.assertEqual(recovered["Name"]["P001Name_Text"], "Tea")
        self.assertEqual(recovered["Name"]["P023Name_Text"], "Cake")
        self.assertEqual(recovered["Price"]["P023Price_Value"], "1.25")
        self.assertEqual(recovered["Quantity"]["P001Quantity_Value"], "4")
        self.assertEqual(recovered["Total"]["FinalTotal_Value"], "22.5")
        self.assertEqual(recovered["Transfer"]["TotalMarch_Value"], "22.5")
        self.assertEqual(app.read("Notes.txt"), b"buy milk")
        self.assertFalse(app.recovery_written(), "a clean close removes the recovery copy")
