"""Start-up of the real program: what it lists from the profile it is given,
where its three windows open and how large they are at 96 and at 120 dots per
inch, and that closing the main window ends the process. Odd profiles and what
the listing takes are the hostile-input cases and the enumeration's contract."""
import os

from layout import ACCOUNT_LIST, CONTACTS_FOLDER_BOX, ERROR, FIRST_FOCUS_BOX, MAIN, REPAIR_COVER, RESULTS
from program_display import SCREEN, ProgramTest, wait_for

ACCOUNTS = ["andré.dupont@exemple.fr", "王小明@例子.cn", "bob@hotmail.com"]
# Client areas: 15 twips to the pixel at 96, 12 at 120, rounded to the nearest.
CLIENT_SIZES = {96: {MAIN: (500, 560), RESULTS: (365, 227), ERROR: (365, 225)},
                120: {MAIN: (625, 700), RESULTS: (456, 284), ERROR: (456, 281)}}
WS_THICKFRAME, WS_MAXIMIZEBOX = 0x40000, 0x10000


class StartUp(ProgramTest):
    def assert_geometry(self, window, form, dpi):
        """Centred, of the right size and frame (only the main window sizable, none
        with a maximise box), and every child control at its layout rectangle."""
        self.assertEqual(window.client_size, CLIENT_SIZES[dpi][form])
        self.assertEqual((bool(window.style & WS_THICKFRAME), window.style & WS_MAXIMIZEBOX), (form == MAIN, 0))
        left, top, width, height = window.frame
        self.assertLessEqual(abs(left - (SCREEN[0] - width) // 2), 1, window.frame)
        self.assertLessEqual(abs(top - (SCREEN[1] - height) // 2), 1, window.frame)
        windowed = self.wine.layout.controls(form, "TextBox", "ListBox", "PushButton")
        self.assertEqual(len(window.controls), len(windowed))
        for name in windowed:
            self.assertEqual(window.control(name).rect, window.rect(name), name)

    def test_three_windows_at_96_and_120_dots_per_inch(self):
        for dpi in (96, 120):
            with self.subTest(dpi=dpi):
                self.wine.set_dpi(dpi)
                window = self.start_with_accounts(*ACCOUNTS)
                self.assert_geometry(window, MAIN, dpi)
                if dpi == 120:
                    self.assertEqual(window.control(ACCOUNT_LIST).rect[:3], (30, 110, 321))

                self.press(window, REPAIR_COVER)
                self.assert_geometry(self.wine.window(ERROR), ERROR, dpi)
                self.select_account(window, "bob@hotmail.com")
                self.press(window, REPAIR_COVER)
                self.assert_geometry(self.wine.window(RESULTS), RESULTS, dpi)
                wait_for(lambda: not os.path.exists(self.profile.contacts("bob@hotmail.com")), 20, "the deletion")
                self.assertFalse(os.path.exists(self.profile.messenger("bob@hotmail.com")))
                self.wine.reset()

    def test_main_window_shows_the_profile_and_its_accounts(self):
        window = self.start_with_accounts(*ACCOUNTS)
        box = window.list_box()
        self.assertEqual(sorted(box.items), sorted(ACCOUNTS))
        self.assertEqual(box.selected, -1)

        # The profile and Messenger boxes are checked in every hostile-input case.
        self.assertEqual(window.control(CONTACTS_FOLDER_BOX).text, self.profile.windows_path +
                         "\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts\\")
        # The focus starts in Text1, below the visible area (once the window is active).
        focused = wait_for(lambda: self.wine.refresh(window).focused(), 10, "a focused control")
        self.assertEqual(focused.hwnd, window.control(FIRST_FOCUS_BOX).hwnd)

        self.wine.move(window, 250, 20)
        self.wine.key("alt+F4")
        self.wine.wait_ended()
