"""The error window that a click on "Réparer" without a chosen account opens:
its message, its "Recommencer" button, and a main window that stays usable."""
import os

from layout import ERROR, ERROR_MESSAGE, REPAIR_COVER, RESULTS, RETRY_COVER
from screen import bands, is_dark
from program_display import ProgramTest, wait_for


class ErrorWindow(ProgramTest):
    def setUp(self):
        super().setUp()
        self.main = self.start_with_accounts("ines@live.fr", "paul@live.fr")

    def click_reparer(self):
        self.press(self.main, REPAIR_COVER)
        return self.wine.window(ERROR)

    def test_without_a_selection_shows_the_two_line_message(self):
        error = self.click_reparer()

        message = error.rect(ERROR_MESSAGE)
        lines = self.wait_image(error, lambda image: len(bands(image.rows_where(is_dark, message))) == 2 and image,
                                "two lines of text in the message", timeout=10)
        text_rows = bands(lines.rows_where(is_dark, message))
        self.assertGreaterEqual(text_rows[1][0] - text_rows[0][-1], 2, text_rows)
        # The click's handler shows the cover again at once, under the pointer.
        self.assert_button(self.main, REPAIR_COVER, highlighted=False)
        self.assertEqual(self.wine.refresh(self.main).list_box().selected, -1)

    def test_recommencer_hides_the_window_and_keeps_its_button_revealed(self):
        error = self.click_reparer()
        self.assert_button(error, RETRY_COVER, highlighted=False)
        self.press(error, RETRY_COVER)
        self.wine.wait_hidden(error)

        # Shown again, the window still has its cover hidden: the pointer has
        # not been over its bare background since.
        error = self.click_reparer()
        self.assert_button(error, RETRY_COVER, highlighted=True)
        self.wine.move(error, 10, 10)
        self.assert_button(error, RETRY_COVER, highlighted=False)

    def test_main_window_stays_usable_and_the_window_stays_open_through_a_cleanup(self):
        error = self.click_reparer()
        main_window = self.select_account(self.main, "paul@live.fr")
        self.assertTrue(self.wine.refresh(error).visible)
        self.assertEqual(main_window.list_box().selected, main_window.list_box().items.index("paul@live.fr"))

        self.press(self.main, REPAIR_COVER)
        self.wine.window(RESULTS)
        wait_for(lambda: not os.path.exists(self.profile.messenger("paul@live.fr")), 20, "the deletion")
        self.assertTrue(self.wine.refresh(error).visible)
