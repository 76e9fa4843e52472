"""The window itself: its caption, the About panel and the month boxes."""

from quilvern import QuilvernTest
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
