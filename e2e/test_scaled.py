"""The window on scaled screens: with Qt's scale factor or a larger font resolution the
window takes more of the screen, and it must still lie wholly on it. Each case leaves a
picture of the screen in E2E_SCREENSHOTS (docs/screenshots/ for `make screenshot`)."""

import os

from quilvern import QuilvernTest
from layout import CLIENT_SIZE


class ScaledScreenTest(QuilvernTest):
    def start_scaled(self, scale, settings=None, **environment):
        """Starts the program with QT_SCALE_FACTOR=scale unless the environment gives
        another way to scale; scale is the effective one, for the client size."""
        app = self.app
        app.environment = environment or dict(QT_SCALE_FACTOR=str(scale))
        app.client_size = (round(CLIENT_SIZE[0] * scale), round(CLIENT_SIZE[1] * scale))
        if settings is not None:
            app.write_settings(settings)
        app.start()
        return app

    def frame_on_screen(self):
        """left, top, right, bottom of the window's frame, in the screen's pixels."""
        app = self.app
        left, right, top, bottom = self.desktop.frame_extents(app.window)
        x, y = app.origin()
        width, height = app.client_size
        return (x - left, y - top, x + width + right, y + height + bottom)

    def assert_wholly_on_screen(self, name):
        frame = self.frame_on_screen()
        width, height = self.SCREEN
        self.assertGreaterEqual(frame[0], 0, frame)
        self.assertGreaterEqual(frame[1], 0, frame)
        self.assertLessEqual(frame[2], width, frame)
        self.assertLessEqual(frame[3], height, frame)
        folder = os.environ.get("E2E_SCREENSHOTS")
        if folder:
            self.desktop.screenshot(os.path.join(folder, f"placement-{name}.png"))
        return frame


class ScaleOneTest(ScaledScreenTest):
    def test_at_scale_1_the_window_opens_at_its_designed_place(self):
        self.start_scaled(1)
        self.assertEqual(self.assert_wholly_on_screen("scale-1")[:2], (334, 132))


class ScaleOneAndAHalfTest(ScaledScreenTest):
    def test_at_scale_1_5_the_designed_place_is_moved_in(self):
        # 1024 x 768 at 1.5 is 683 x 512: 334 + 526 > 683 and 132 + 429 > 512.
        self.start_scaled(1.5)
        frame = self.assert_wholly_on_screen("scale-1.5")
        self.assertLessEqual(frame[2], 1024)
        self.assertGreaterEqual(frame[3], 768 - 2, "moved up just until its bottom is on screen")


class ScaleTwoOnALargerScreenTest(ScaledScreenTest):
    SCREEN = (1280, 1024)

    def test_at_scale_2_a_saved_corner_with_its_title_bar_on_screen_is_moved_in(self):
        # 640 x 512 at scale 2: the title bar at 200, 150 is on screen, the rest is not.
        self.start_scaled(2, b"[Main]\r\nPixelsPerInch=192\r\nNormPos=200,150,726,579\r\n")
        frame = self.assert_wholly_on_screen("scale-2")
        # Device-independent pixels are rounded to the screen's at each edge.
        self.assertGreaterEqual(frame[2], 1280 - 2)
        self.assertGreaterEqual(frame[3], 1024 - 2)


class ScaleTwoTooLargeTest(ScaledScreenTest):
    def test_at_scale_2_a_window_larger_than_the_screen_starts_at_its_corner(self):
        # 1024 x 768 at scale 2 is 512 x 384, less than the window.
        self.start_scaled(2)
        self.assertEqual(self.frame_on_screen()[:2], (0, 0))


class LargerFontTest(ScaledScreenTest):
    SCREEN = (1366, 768)

    def test_a_larger_font_resolution_on_a_laptop_keeps_the_bottom_rows_on_screen(self):
        # Qt scales the whole window by 144 / 96 = 1.5 then.
        self.start_scaled(1.5, QT_FONT_DPI="144")
        self.assert_wholly_on_screen("font-dpi-144")
