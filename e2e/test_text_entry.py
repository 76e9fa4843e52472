"""Every way text enters a field goes through the field's rules: keys, the clipboard
and the primary selection. Judged in the report that a transfer writes."""

from quilvern import QuilvernTest


def march(line, total):
    """March's report when the sheet sells on one line only."""
    return (f"MARCH SALES\r\n\r\n{line}\r\n\r\nMARCH TOTAL = {total}\r\n"
            .encode("cp1252"))


class TextEntryTest(QuilvernTest):
    def test_delete_deletes_in_a_price_and_a_quantity(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "12", "45")
        app.click("P001Price")
        app.key("Home", "Delete")
        app.click("P001Quantity")
        app.key("Home", "Delete")
        # 2 x 5 = 10.00
        self.assertEqual(app.transfer("Mar"), march("Tea @ $2.00 x 5 = $10.00", "$10.00"))

    def test_middle_click_pastes_the_primary_selection_into_a_price_and_a_quantity(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "0", "0")
        for field, text in (("P001Price", "12"), ("P001Quantity", "3")):
            app.click(field)
            app.key("ctrl+a", "BackSpace")
            self.desktop.set_primary(text)
            app.click(field, button=2)
        # 12 x 3 = 36.00
        self.assertEqual(app.transfer("Mar"), march("Tea @ $12.00 x 3 = $36.00", "$36.00"))

    def test_a_middle_click_that_is_no_amount_is_refused_in_a_price(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.click("P001Price")
        self.desktop.set_primary("abc")
        app.click("P001Price", button=2)
        self.assertEqual(app.transfer("Mar"), march("Tea @ $2.50 x 4 = $10.00", "$10.00"))

    def test_shift_delete_cuts_and_ctrl_z_changes_nothing(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "123", "4")
        app.click("P001Price")
        app.key("End", "shift+Left", "shift+Left", "shift+Delete", "ctrl+z")
        self.assertEqual(self.desktop.selection(), "23")
        # 1 x 4 = 4.00
        self.assertEqual(app.transfer("Mar"), march("Tea @ $1.00 x 4 = $4.00", "$4.00"))

    def test_a_line_break_pasted_into_a_name_becomes_a_blank(self):
        app = self.app.start()
        app.fill_line(1, "x", "2.5", "4")
        self.desktop.set_clipboard("Tea\nCake")
        app.click("P001Name")
        app.key("ctrl+a", "ctrl+v")
        self.assertEqual(app.transfer("Mar"),
                         march("Tea Cake @ $2.50 x 4 = $10.00", "$10.00"))
