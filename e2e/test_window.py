"""The window itself: its caption, the About panel and the month boxes."""

from quilvern import QuilvernTest
import layout
from desktop import wait_for


class CaptionTest(QuilvernTest):
    def test_an_empty_title_gives_an_empty_caption(self):
        app = self.app.start()
        app.wait_for_caption("Quilvern")
        app.click("Settings")
        app.replace_text("SetTitle", "Shop")
        app.wait_for_caption("Shop")
        app.key("ctrl+a", "BackSpace")
        app.wait_for_caption("")
        self.assertEqual(app.caption("WM_NAME"), "")
        app.close()
        self.assertEqual(app.ini()["Settings"]["SetTitle_Text"], "")
        app.start()
        app.wait_for_caption("")
        self.assertEqual(app.caption("WM_NAME"), "")


class AboutTest(QuilvernTest):
    def test_enter_and_escape_close_the_about_panel(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        for key, month in (("Return", "Jan"), ("KP_Enter", "Feb"), ("Escape", "Mar")):
            with self.subTest(key=key):
                app.context_menu("Up", "Return")  # the last item, "About Quilvern ..."
                app.key(key)
                # The top bar and the views take clicks again only once it is closed.
                app.click("Transfer")
                app.click(f"Transfer{month}")
                app.wait_for_file(f"Backup{layout.MONTHS.index(month) + 1:02d}.txt")


class MonthBoxTest(QuilvernTest):
    def test_the_words_beside_the_month_buttons_act_as_the_buttons(self):
        app = self.app.start()
        app.fill_line(1, "Tea", "2.5", "4")
        app.click("Transfer")
        app.click("TransferMarCaption")
        app.wait_for_file("Backup03.txt")
        self.assertFalse(app.exists("Report02.txt"))
        self.assertFalse(app.exists("Report04.txt"))
        app.click("ReportMarCaption")
        self.desktop.set_clipboard("before the copy")
        app.click("ReportCopy")
        wait_for(lambda: (self.desktop.selection() or "").startswith("MARCH SALES"),
                 "the March report on the clipboard")
