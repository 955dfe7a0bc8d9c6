"""The manual-cleanup shortcuts: the two "Ouvrir" buttons and the
temporary-folder link open their folder in the file browser and delete nothing."""
import getpass
import os
import subprocess

from layout import (BACK_COVER, BARE_MAIN_WINDOW, MAIN, OPEN_CONTACTS_COVER, OPEN_MESSENGER_COVER, PROFILE_BOX,
                    REPAIR_COVER, RESULTS, TEMP_LINK_COVER)
from profiles import CONTACTS_DIR, MESSENGER_DIR, TEMP_DIR, Profile, snapshot
from screen import is_blue_text, is_dark
from program_display import AS_WINE_SETS, QUIET, ProgramTest, wait_for

WINE_LINKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "wine-links.sh")

# The cover to point at, the folder below the profile and the browser's title.
SHORTCUTS = [
    (OPEN_MESSENGER_COVER, MESSENGER_DIR, "Messenger"),
    (OPEN_CONTACTS_COVER, CONTACTS_DIR, "Windows Live Contacts"),
    (TEMP_LINK_COVER, TEMP_DIR, "Temp"),
]


class Shortcuts(ProgramTest):
    def assert_opened(self, path):
        explorers = list(self.wine.processes("explorer.exe").values())
        self.assertTrue(any(path in line for line in explorers), explorers)

    def open_each_shortcut(self, window, profile_path):
        for cover, folder, title in SHORTCUTS:
            with self.subTest(cover):
                link = window.rect(TEMP_LINK_COVER)
                if cover == TEMP_LINK_COVER:
                    self.wine.move_onto(window, cover)
                    self.wait_image(window, lambda image: image.count(is_blue_text) == 0, "the black link", link)
                    self.wine.click()
                else:
                    self.press(window, cover)

                browser = self.wine.window(title)
                self.assert_opened(profile_path + "\\" + folder.replace("/", "\\"))
                if cover == TEMP_LINK_COVER:
                    # The link's handler leaves its cover hidden.
                    self.assertGreater(self.wine.screenshot(window, link).count(is_dark), 30)
                else:
                    # The click's handler shows the cover again at once.
                    self.assert_button(window, cover, highlighted=False)

                # The browser may lie over the main window: out of the way.
                self.wine.close_window(browser)
                self.wine.wait_hidden(browser)
                self.wine.move(window, *self.wine.layout.point(MAIN, BARE_MAIN_WINDOW))

    def test_the_whole_job_in_a_stock_prefix(self):
        """Messenger under Wine keeps its data under AppData\\Local. Once
        tools/wine-links.sh has added the links that Windows has, the program,
        given the profile folder that Wine gives every program, lists the
        accounts, cleans one, goes back and opens all three folders, which
        deletes nothing."""
        wine = self.wine
        user = getpass.getuser()
        subprocess.run([WINE_LINKS, wine.prefix], check=True, **QUIET)
        local = os.path.join(wine.prefix, "drive_c", "users", user, "AppData", "Local", "Microsoft")
        for account in ("ines@live.fr", "paul@live.fr"):
            for data in ("Messenger", "Windows Live Contacts"):
                os.makedirs(os.path.join(local, data, account, "ObjectStore"))
        profile = Profile(os.path.join(wine.prefix, "drive_c", "users", user))  # through the links
        before = snapshot(local)

        window = wine.start(None, AS_WINE_SETS)
        profile_path = "C:\\users\\" + user
        self.assertEqual(window.control(PROFILE_BOX).text, profile_path)
        self.assertEqual(sorted(window.list_box().items), ["ines@live.fr", "paul@live.fr"])

        self.select_account(window, "ines@live.fr")
        self.press(window, REPAIR_COVER)
        results = wine.window(RESULTS)
        wait_for(lambda: not os.path.exists(profile.contacts("ines@live.fr")), 30, "the deletion")
        self.assertEqual(sorted(set(before) - set(snapshot(local))),
                         sorted(k for k in before if "ines@live.fr" in k))
        self.press(results, BACK_COVER)
        wine.wait_hidden(results)
        self.assertEqual(wine.refresh(window).list_box().items, ["paul@live.fr"])

        wine.move(window, *wine.layout.point(MAIN, BARE_MAIN_WINDOW))
        before = snapshot(local)
        self.open_each_shortcut(wine.refresh(window), profile_path)
        self.assertEqual(snapshot(local), before)
        self.assertTrue(wine.running())

    def test_paths_follow_an_edited_profile_box(self):
        # Text2, out of view, is the next tab stop after the focus at start;
        # whatever the user types there is the profile folder from then on.
        window = self.start_with_accounts("ines@live.fr")
        other = self.wine.new_profile("other")
        self.wine.move(window, *self.wine.layout.point(MAIN, BARE_MAIN_WINDOW))
        self.wine.key("Tab")
        box = window.control(PROFILE_BOX)
        wait_for(lambda: self.wine.refresh(window).focus == box.hwnd, 10, "the focus in Text2")
        self.wine.key("End", "shift+Home")
        self.wine.xdotool("type", "--delay", "20", other.windows_path)
        wait_for(lambda: self.wine.refresh(window).control(PROFILE_BOX).text == other.windows_path, 20,
                 "the typed profile folder")

        self.wine.click(window, *window.centre(OPEN_MESSENGER_COVER))
        self.wine.window("Messenger")
        self.assert_opened(other.windows_path + "\\Local Settings")
