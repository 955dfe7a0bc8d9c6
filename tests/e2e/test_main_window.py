"""The main window as it looks on screen: its pictures and line at rest, and
the rollover of its picture buttons and of the temporary-folder link under the
real pointer."""
from harness import ProgramTest, button_checks, colour, is_blue_text, is_dark, main

# Cover pairs of the main window: name, left, top, width (all 23 pixels high).
BUTTONS = [("Réparer", 392, 472, 71), ("Ouvrir (Messenger)", 40, 240, 71), ("Ouvrir (Contacts)", 40, 328, 71)]
LINK = (368, 512, 129, 17)
BARE = (480, 545)  # right of the credit line, below the link: no control there
LABEL1 = (100, 480)  # the bold warning: a control without handlers
OUTSIDE = (-40, -40)  # the empty screen above the window


def is_banner_blue(c):
    return c[2] > 110 and c[0] < 70 and c[2] > c[1] + 30


def is_white(c):
    return min(c) >= 250


def buttons(highlighted):
    return [check for name, left, top, width in BUTTONS
            for check in button_checks(name, left, top, width, highlighted)]


def link_is(image, blue):
    blue_pixels, dark_pixels = image.count(is_blue_text), image.count(is_dark)
    return blue_pixels > 30 and dark_pixels == 0 if blue else blue_pixels == 0 and dark_pixels > 30


class MainWindowOnScreen(ProgramTest):
    def setUp(self):
        super().setUp()
        self.window = self.start_with_accounts("ines@live.fr")

    def test_pictures_and_line_at_rest(self):
        self.assert_pixels(self.window, [
            ("banner", 10, 2, is_banner_blue),
            ("banner", 250, 12, is_banner_blue),
            ("banner", 495, 20, is_banner_blue),
            ("white panel", 470, 180, is_white),
            ("white panel", 250, 390, is_white),
            ("Line1", 100, 504, colour("#000000")),
            ("Line1", 420, 504, colour("#000000")),
            ("above Line1", 420, 500, lambda c: not is_dark(c)),
            ("below Line1", 420, 508, lambda c: not is_dark(c)),
        ] + buttons(highlighted=False))
        self.wait_image(self.window, lambda image: link_is(image, blue=True), "the blue link", LINK)

    def test_covers_hide_under_the_pointer_and_return_over_the_bare_window(self):
        session = self.session
        session.move(self.window, *OUTSIDE)
        for name, left, top, width in BUTTONS:
            # Straight from elsewhere onto the cover: the highlighted button shows
            # at once, and the covers already hidden stay hidden.
            session.move(self.window, left + width // 2, top + 11)
            self.assert_pixels(self.window, button_checks(name, left, top, width, highlighted=True))
        self.assert_pixels(self.window, buttons(highlighted=True))

        session.move(self.window, LINK[0] + 40, LINK[1] + 8)
        self.wait_image(self.window, lambda image: link_is(image, blue=False), "the black link", LINK)

        # Another window or another control takes the pointer: nothing comes back yet.
        session.move(self.window, *OUTSIDE)
        self.assert_pixels(self.window, buttons(highlighted=True))
        session.move(self.window, *LABEL1)
        session.move(self.window, 200, 215)  # the Text5 box
        session.move(self.window, 100, 120)  # the account list
        self.assert_pixels(self.window, buttons(highlighted=True))
        self.wait_image(self.window, lambda image: link_is(image, blue=False), "the black link", LINK)

        session.move(self.window, *BARE)
        self.assert_pixels(self.window, buttons(highlighted=False))
        self.wait_image(self.window, lambda image: link_is(image, blue=True), "the blue link", LINK)

        # The banner is the window's own picture: bare background too.
        session.move(self.window, 395, 483)
        self.assert_pixels(self.window, button_checks(*BUTTONS[0], highlighted=True))
        session.move(self.window, 250, 20)
        self.assert_pixels(self.window, buttons(highlighted=False))


if __name__ == "__main__":
    main()
