"""Where the window opens under a real window manager, over restarts."""

from quilvern import QuilvernTest
from layout import CLIENT_SIZE


class PlacementTest(QuilvernTest):
    def frame_rectangle(self):
        """left, top, right, bottom of the window's outer frame on the screen now."""
        app = self.app
        left, right, top, bottom = self.desktop.frame_extents(app.window)
        x, y = app.origin()
        return (x - left, y - top, x + CLIENT_SIZE[0] + right, y + CLIENT_SIZE[1] + bottom)

    def norm_pos(self):
        main = self.app.ini()["Main"]
        self.assertEqual(main["NormPos"], main["NormPos(1024x768)"])
        return tuple(int(word) for word in main["NormPos"].split(","))

    def test_a_moved_window_keeps_its_place_over_five_restarts(self):
        app = self.app.start()
        app.move(400, 300)
        moved = self.frame_rectangle()
        self.assertEqual(moved[:2], (400, 300))
        app.close()
        self.assertEqual(self.norm_pos(), moved, "the frame's outer rectangle")
        for restart in range(5):
            app.start()
            self.assertEqual(self.frame_rectangle(), moved, f"restart {restart + 1}")
            app.close()
            self.assertEqual(self.norm_pos(), moved, f"restart {restart + 1}")

    def test_a_window_not_moved_keeps_its_designed_place(self):
        app = self.app.start()
        designed = self.frame_rectangle()
        self.assertEqual(designed[:2], (334, 132))
        app.close()
        self.assertEqual(self.norm_pos(), designed)
        app.start()
        app.close()
        self.assertEqual(self.norm_pos(), designed)

    def test_a_title_bar_stored_above_the_screen_comes_back(self):
        self.app.write_settings(b"[Main]\r\nNormPos=100,-300,630,140\r\n")
        self.app.start()
        self.assertEqual(self.frame_rectangle()[:2], (334, 132))

    def test_a_position_that_overflows_is_ignored(self):
        self.app.write_settings(b"[Main]\r\nNormPos=2147483600,100,2147483647,500\r\n")
        self.app.start()
        self.assertEqual(self.frame_rectangle()[:2], (334, 132))

    def test_a_window_hanging_over_an_edge_comes_wholly_on_the_screen(self):
        for stored, expected in (((100, -5), (100, 0)), ((800, 300), (1024 - 526, 300)),
                                 ((-40, 600), (0, 768 - 429))):
            with self.subTest(stored=stored):
                left, top = stored
                self.app.write_settings(
                    f"[Main]\r\nNormPos={left},{top},{left + 526},{top + 429}\r\n".encode())
                self.app.start()
                frame = self.frame_rectangle()
                self.assertEqual(frame[:2], expected)
                self.assertEqual(frame[2:], (expected[0] + 526, expected[1] + 429),
                                 "moved, not resized")
                self.app.close()
                self.assertEqual(self.norm_pos()[:2], expected)
