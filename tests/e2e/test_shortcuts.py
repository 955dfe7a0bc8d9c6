"""The manual-cleanup shortcuts: the two "Ouvrir" buttons and the
temporary-folder link open their folder in the file browser and delete nothing."""
import os

from harness import (CONTACTS_DIR, MESSENGER_DIR, TEMP_DIR, ProgramTest, button_checks, is_blue_text,
                     is_dark, main, snapshot, wait_for)

LINK = (368, 512, 129, 17)
BARE = (480, 545)

# Control, where to point, the folder below the profile and the browser's title.
SHORTCUTS = [
    ("Ouvrir (Messenger)", (40, 240, 71), MESSENGER_DIR, "Messenger"),
    ("Ouvrir (Contacts)", (40, 328, 71), CONTACTS_DIR, "Windows Live Contacts"),
    ("Effacer fichier temporaire", None, TEMP_DIR, "Temp"),
]


def command_lines(name):
    """The command lines of the running processes whose program is that name."""
    lines = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                line = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
        except OSError:
            continue
        if name.lower() in line.lower():
            lines.append(line)
    return lines


class Shortcuts(ProgramTest):
    def test_each_shortcut_opens_its_folder_in_the_file_browser(self):
        window = self.start_with_accounts("ines@live.fr")
        before = snapshot(self.profile.root)

        for name, button, folder, title in SHORTCUTS:
            with self.subTest(name):
                if button:
                    left, top, width = button
                    self.session.move(window, left + width // 2, top + 11)
                    self.assert_pixels(window, button_checks(name, left, top, width, highlighted=True))
                else:
                    self.session.move(window, LINK[0] + 40, LINK[1] + 8)
                    self.wait_image(window, lambda image: image.count(is_blue_text) == 0, "the black link", LINK)
                self.session.click()

                browser = self.session.window(title)
                path = self.profile.windows_path + "\\" + folder.replace("/", "\\")
                self.assertTrue(any(path in line for line in command_lines("explorer.exe")),
                                command_lines("explorer.exe"))
                if button:
                    # The click's handler shows the cover again at once.
                    self.assert_pixels(window, button_checks(name, left, top, width, highlighted=False))
                else:
                    # The link's handler leaves its cover hidden.
                    self.assertGreater(self.session.screenshot(window, LINK).count(is_dark), 30)

                # The browser may lie over the main window: out of the way.
                self.session.close_window(browser)
                self.session.wait_hidden(browser)
                self.session.move(window, *BARE)

        self.assertEqual(snapshot(self.profile.root), before)
        self.assertTrue(self.session.program.running())

    def test_paths_follow_an_edited_profile_box(self):
        # Text2, out of view, is the next tab stop after the focus at start;
        # whatever the user types there is the profile folder from then on.
        window = self.start_with_accounts("ines@live.fr")
        other = self.session.new_profile("other")
        self.session.move(window, *BARE)
        self.session.key("Tab")
        wait_for(lambda: self.session.refresh(window).focused().rect[:2] == (32, 568), 10, "the focus in Text2")
        self.session.key("End", "shift+Home")
        self.session.xdotool("type", "--delay", "20", other.windows_path)
        wait_for(lambda: self.session.refresh(window).control_at(32, 568).text == other.windows_path, 20,
                 "the typed profile folder")

        self.session.click(window, 40 + 35, 240 + 11)
        self.session.window("Messenger")
        self.assertTrue(any(other.windows_path + "\\Local Settings" in line
                            for line in command_lines("explorer.exe")), command_lines("explorer.exe"))


if __name__ == "__main__":
    main()
