"""Undoing a clear command through the real context menu and with Ctrl+Z."""

from quilvern import QuilvernTest
from desktop import wait_for

MARCH = (b"MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\n"
         b"MARCH TOTAL = $10.00\r\n")


class UndoTest(QuilvernTest):
    def transfer_march_and_compile_the_year(self):
        app = self.app
        app.fill_line(1, "Tea", "2.5", "4")
        app.transfer("Mar", MARCH)
        app.click("YearReport")
        year = app.wait_for_file("BackupYear.txt")
        app.click("ReportClose")
        return year

    def test_undo_clear_transfer_from_the_menu_puts_back_files_buttons_and_months(self):
        app = self.app.start()
        year = self.transfer_march_and_compile_the_year()

        app.context_menu("Up", "Up", "Return")  # "Clear Transfer", above "About"
        wait_for(lambda: not app.exists("Report03.txt") and not app.exists("ReportYear.txt"),
                 "the reports to be deleted")
        app.context_menu("Down", "Return")  # "Undo Clear Transfer", now the first item

        app.wait_for_file("Report03.txt", MARCH)
        self.assertEqual(app.read("ReportYear.txt"), year)
        self.desktop.set_clipboard("before")
        app.click("ReportMar")  # enabled again
        app.click("ReportCopy")
        wait_for(lambda: self.desktop.selection() == MARCH.decode(), "March's report copied")
        app.click("ReportClose")
        app.close()
        self.assertEqual(app.ini()["Transfer"]["TotalMarch_Value"], "10")
        self.assertEqual(app.ini()["Transfer"]["TotalYear_Value"], "10")

    def test_ctrl_z_right_after_clear_quantities_brings_them_back(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.fill_line(2, "Jam", "1.25", "2")

        app.context_menu("Down", "Down", "Down", "Return")  # "Clear Quantities"
        wait_for(lambda: b"P001Quantity_Value=0\r\n" in (app.recovery() or b""),
                 "the cleared quantities in the recovery copy")
        app.key("ctrl+z")  # the focus is still in the quantity typed last

        # 2.50 x 4 + 1.25 x 2 = 12.50
        wait_for(lambda: b"FinalTotal_Value=12.5\r\n" in (app.recovery() or b""),
                 "the quantities back in the recovery copy")
        app.close()
        quantities = app.ini()["Quantity"]
        self.assertEqual((quantities["P001Quantity_Value"], quantities["P002Quantity_Value"]),
                         ("4", "2"))

    def test_no_undo_after_a_transfer(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.context_menu("Down", "Return")  # "Clear Names"
        app.transfer("Jan")

        app.key("ctrl+z")
        app.click("TransferFeb")  # after the key: February shows what the key did
        february = app.wait_for_file("Backup02.txt")
        self.assertTrue(february.startswith(b"FEBRUARY SALES\r\n\r\n @ $2.50 x 4"), february)
