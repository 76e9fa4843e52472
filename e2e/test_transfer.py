"""Month transfers and the year report, judged byte for byte in the files they write."""

from quilvern import QuilvernTest


class TransferTest(QuilvernTest):
    def test_march_transfer_writes_its_report_and_backup(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        # 2.5 x 4 = 10.00
        report = (b"MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\n"
                  b"MARCH TOTAL = $10.00\r\n")
        self.assertEqual(app.transfer("Mar", report), report)
        self.assertFalse(app.exists("Report01.txt"))

    def test_year_report_joins_the_months_in_calendar_order(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.fill_line(12, "Cake", "1234.5", "2")
        app.transfer("Jul")
        app.click("Page01")
        app.replace_text("P001Quantity", "0")
        app.transfer("Feb")
        app.click("YearReport")
        # July: 10.00 + 2,469.00; February: the cake alone; the year 4,948.00.
        july = (b"JULY SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n"
                b"Cake @ $1,234.50 x 2 = $2,469.00\r\n\r\nJULY TOTAL = $2,479.00\r\n")
        february = (b"FEBRUARY SALES\r\n\r\nCake @ $1,234.50 x 2 = $2,469.00\r\n\r\n"
                    b"FEBRUARY TOTAL = $2,469.00\r\n")
        year = (b"SALES REPORT FOR YEAR\r\n\r\n\r\n" + february + b"\r\n\r\n" + july +
                b"\r\n\r\nFINAL TOTAL FOR YEAR = $4,948.00\r\n")
        app.wait_for_file("BackupYear.txt", year)
        self.assertEqual(app.read("ReportYear.txt"), year)
        self.assertEqual(app.read("Report07.txt"), july)
        self.assertEqual(app.read("Report02.txt"), february)
