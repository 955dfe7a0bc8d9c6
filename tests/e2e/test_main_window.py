"""The main window as it looks on screen at 96 and at 120 dots per inch: its
pictures and line at rest, and the rollover of its picture buttons and of the
temporary-folder link under the real pointer."""
from layout import (ACCOUNT_LIST, BARE_MAIN_WINDOW, MAIN, MESSENGER_FOLDER_BOX, OPEN_CONTACTS_COVER,
                    OPEN_MESSENGER_COVER, REPAIR_COVER, RESET_WARNING, TEMP_LINK_COVER)
from screen import colour, is_banner_blue, is_blue_text, is_dark, is_white
from program_display import ProgramTest

COVERS = [REPAIR_COVER, OPEN_MESSENGER_COVER, OPEN_CONTACTS_COVER]
# Shares of the client area: the banner's title band; its white panel right of
# the list, below the buttons and at the right edge.
BANNER = (0.5, 0.036)
PANEL = [(0.94, 0.321), (0.5, 0.696), (0.96, 0.5)]
OUTSIDE = (-40, -40)  # the empty screen above the window


def link_is(image, blue):
    blue_pixels, dark_pixels = image.count(is_blue_text), image.count(is_dark)
    return blue_pixels > 30 and dark_pixels == 0 if blue else blue_pixels == 0 and dark_pixels > 30


class MainWindowOnScreen(ProgramTest):
    def assert_buttons(self, highlighted):
        for cover in COVERS:
            self.assert_button(self.window, cover, highlighted)

    def assert_link(self, blue):
        self.wait_image(self.window, lambda image: link_is(image, blue), "the %s link" % ("blue" if blue else "black"),
                        self.window.rect(TEMP_LINK_COVER))

    def test_at_rest_the_covers_hide_under_the_pointer_and_return_over_the_bare_window(self):
        for dpi in (96, 120):
            with self.subTest(dpi=dpi):
                self.wine.set_dpi(dpi)
                self.rollover()
                self.wine.reset()

    def rollover(self):
        wine, layout = self.wine, self.wine.layout
        self.window = window = self.start_with_accounts("ines@live.fr")
        # The banner grows with the window: its white panel lies behind the list and the buttons.
        self.assert_pixels(window, [("white panel", *layout.point(MAIN, share), is_white) for share in PANEL])
        if layout.dpi == 96:
            self.assert_pixels(window, [
                ("banner", 10, 2, is_banner_blue), ("banner", 250, 12, is_banner_blue),
                ("banner", 495, 20, is_banner_blue), ("Line1", 100, 504, colour("#000000")),
                ("Line1", 420, 504, colour("#000000")), ("above Line1", 420, 500, lambda c: not is_dark(c)),
                ("below Line1", 420, 508, lambda c: not is_dark(c))])
        self.assert_buttons(highlighted=False)
        self.assert_link(blue=True)

        wine.move(window, *OUTSIDE)
        for cover in COVERS:
            # Straight from elsewhere onto the cover: the highlighted button shows
            # at once, and the covers already hidden stay hidden.
            wine.move_onto(window, cover)
            self.assert_button(window, cover, highlighted=True)
        self.assert_buttons(highlighted=True)

        wine.move_onto(window, TEMP_LINK_COVER)
        self.assert_link(blue=False)

        # Another window or another control takes the pointer: nothing comes back yet.
        wine.move(window, *OUTSIDE)
        for control in (RESET_WARNING, MESSENGER_FOLDER_BOX, ACCOUNT_LIST):
            wine.move_onto(window, control)
        self.assert_buttons(highlighted=True)
        self.assert_link(blue=False)

        wine.move(window, *layout.point(MAIN, BARE_MAIN_WINDOW))
        self.assert_buttons(highlighted=False)
        self.assert_link(blue=True)

        # The banner is the window's own picture: bare background too.
        wine.move_onto(window, REPAIR_COVER)
        self.assert_button(window, REPAIR_COVER, highlighted=True)
        wine.move(window, *layout.point(MAIN, BANNER))
        self.assert_buttons(highlighted=False)
