"""The manual-cleanup shortcuts: the two "Ouvrir" buttons and the
temporary-folder link open their folder in the file browser and delete nothing."""
from layout import BARE_MAIN_WINDOW, OPEN_CONTACTS_COVER, OPEN_MESSENGER_COVER, PROFILE_BOX, TEMP_LINK_COVER
from profiles import CONTACTS_DIR, MESSENGER_DIR, TEMP_DIR, snapshot
from screen import is_blue_text, is_dark
from session import ProgramTest, wait_for

# The cover to point at, the folder below the profile and the browser's title.
SHORTCUTS = [
    (OPEN_MESSENGER_COVER, MESSENGER_DIR, "Messenger"),
    (OPEN_CONTACTS_COVER, CONTACTS_DIR, "Windows Live Contacts"),
    (TEMP_LINK_COVER, TEMP_DIR, "Temp"),
]


class Shortcuts(ProgramTest):
    def assert_opened(self, path):
        explorers = list(self.session.wine_processes("explorer.exe").values())
        self.assertTrue(any(path in line for line in explorers), explorers)

    def test_each_shortcut_opens_its_folder_in_the_file_browser(self):
        window = self.start_with_accounts("ines@live.fr")
        before = snapshot(self.profile.root)

        for cover, folder, title in SHORTCUTS:
            with self.subTest(cover):
                link = window.rect(TEMP_LINK_COVER)
                if cover == TEMP_LINK_COVER:
                    self.session.move_onto(window, cover)
                    self.wait_image(window, lambda image: image.count(is_blue_text) == 0, "the black link", link)
                    self.session.click()
                else:
                    self.press(window, cover)

                browser = self.session.window(title)
                self.assert_opened(self.profile.windows_path + "\\" + folder.replace("/", "\\"))
                if cover == TEMP_LINK_COVER:
                    # The link's handler leaves its cover hidden.
                    self.assertGreater(self.session.screenshot(window, link).count(is_dark), 30)
                else:
                    # The click's handler shows the cover again at once.
                    self.assert_button(window, cover, highlighted=False)

                # The browser may lie over the main window: out of the way.
                self.session.close_window(browser)
                self.session.wait_hidden(browser)
                self.session.move(window, *self.session.layout.point(*BARE_MAIN_WINDOW))

        self.assertEqual(snapshot(self.profile.root), before)
        self.assertTrue(self.session.running())

    def test_paths_follow_an_edited_profile_box(self):
        # Text2, out of view, is the next tab stop after the focus at start;
        # whatever the user types there is the profile folder from then on.
        window = self.start_with_accounts("ines@live.fr")
        other = self.session.new_profile("other")
        self.session.move(window, *self.session.layout.point(*BARE_MAIN_WINDOW))
        self.session.key("Tab")
        box = window.control(PROFILE_BOX)
        wait_for(lambda: self.session.refresh(window).focus == box.hwnd, 10, "the focus in Text2")
        self.session.key("End", "shift+Home")
        self.session.xdotool("type", "--delay", "20", other.windows_path)
        wait_for(lambda: self.session.refresh(window).control(PROFILE_BOX).text == other.windows_path, 20,
                 "the typed profile folder")

        self.session.click(window, *window.centre(OPEN_MESSENGER_COVER))
        self.session.window("Messenger")
        self.assert_opened(other.windows_path + "\\Local Settings")
