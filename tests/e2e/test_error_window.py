"""The error window that a click on "Réparer" without a chosen account opens:
its message, its "Recommencer" button, and a main window that stays usable."""
import os

from harness import ERROR_TITLE, RESULTS_TITLE, SCREEN, ProgramTest, bands, button_checks, is_dark, main, wait_for

REPARER = ("Réparer", 392, 472, 71)
RECOMMENCER = ("Recommencer", 120, 168, 121)
MESSAGE = (8, 48, 353, 73)


def centre(button):
    _, left, top, width = button
    return left + width // 2, top + 11


class ErrorWindow(ProgramTest):
    def setUp(self):
        super().setUp()
        self.main = self.start_with_accounts("ines@live.fr", "paul@live.fr")

    def click_reparer(self):
        self.session.move(self.main, *centre(REPARER))
        self.assert_pixels(self.main, button_checks(*REPARER, highlighted=True))
        self.session.click()
        return self.session.window(ERROR_TITLE)

    def test_without_a_selection_shows_the_two_line_message(self):
        error = self.click_reparer()

        self.assertEqual(error.client_size, (365, 225))
        left, top, width, height = error.frame
        self.assertLessEqual(abs(left - (SCREEN[0] - width) // 2), 1, error.frame)
        self.assertLessEqual(abs(top - (SCREEN[1] - height) // 2), 1, error.frame)
        lines = self.wait_image(error, lambda image: len(bands(image.rows_where(is_dark, MESSAGE))) == 2 and image,
                                "two lines of text in the message", timeout=10)
        text_rows = bands(lines.rows_where(is_dark, MESSAGE))
        self.assertGreaterEqual(text_rows[1][0] - text_rows[0][-1], 2, text_rows)
        # The click's handler shows the cover again at once, under the pointer.
        self.assert_pixels(self.main, button_checks(*REPARER, highlighted=False))
        self.assertEqual(self.session.refresh(self.main).list_box().selected, -1)

    def test_recommencer_hides_the_window_and_keeps_its_button_revealed(self):
        error = self.click_reparer()
        self.assert_pixels(error, button_checks(*RECOMMENCER, highlighted=False))

        self.session.move(error, *centre(RECOMMENCER))
        self.assert_pixels(error, button_checks(*RECOMMENCER, highlighted=True))
        self.session.click()
        self.session.wait_hidden(error)

        # Shown again, the window still has its cover hidden: the pointer has
        # not been over its bare background since.
        error = self.click_reparer()
        self.assert_pixels(error, button_checks(*RECOMMENCER, highlighted=True))
        self.session.move(error, 10, 10)
        self.assert_pixels(error, button_checks(*RECOMMENCER, highlighted=False))

    def test_stays_open_through_a_later_cleanup(self):
        error = self.click_reparer()
        self.select_account(self.main, "paul@live.fr")
        self.session.move(self.main, *centre(REPARER))
        self.session.click()

        self.session.window(RESULTS_TITLE)
        wait_for(lambda: not os.path.exists(self.profile.messenger("paul@live.fr")), 20, "the deletion")
        self.assertTrue(self.session.refresh(error).visible)

    def test_main_window_stays_usable_and_closing_it_ends_the_program(self):
        error = self.click_reparer()

        main_window = self.select_account(self.main, "paul@live.fr")
        self.assertTrue(self.session.refresh(error).visible)
        self.assertEqual(main_window.list_box().selected, main_window.list_box().items.index("paul@live.fr"))

        self.session.move(self.main, 250, 20)
        self.session.key("alt+F4")
        self.session.program.wait_ended()


if __name__ == "__main__":
    main()
