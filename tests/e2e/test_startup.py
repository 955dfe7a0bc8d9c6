"""Start-up of the real program: where its main window opens, what it lists
from the profile it is given, and that closing the window ends the process."""
import os

from harness import MAIN_TITLE, SCREEN, ProgramTest, main, wait_for, write

ACCOUNTS = ["andré.dupont@exemple.fr", "王小明@例子.cn", "bob@hotmail.com"]


class StartUp(ProgramTest):
    def test_main_window_shows_the_profile_and_its_accounts(self):
        window = self.start_with_accounts(*ACCOUNTS)

        self.assertEqual(window.title, MAIN_TITLE)
        self.assertEqual(window.client_size, (500, 560))
        left, top, width, height = window.frame
        self.assertLessEqual(abs(left - (SCREEN[0] - width) // 2), 1, window.frame)
        self.assertLessEqual(abs(top - (SCREEN[1] - height) // 2), 1, window.frame)

        box = window.list_box()
        self.assertEqual(sorted(box.items), sorted(ACCOUNTS))
        self.assertEqual(len(box.items), 3)
        self.assertEqual(box.selected, -1)

        profile = self.profile.windows_path
        self.assertEqual(window.control_at(32, 568, "Edit").text, profile)  # Text2
        self.assertEqual(window.control_at(40, 208, "Edit").text,  # Text5
                         profile + "\\Local Settings\\Application Data\\Microsoft\\Messenger\\")
        self.assertEqual(window.control_at(40, 296, "Edit").text,  # Text6
                         profile + "\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts\\")
        # The focus starts in Text1, below the visible area (once the window is active).
        focused = wait_for(lambda: self.session.refresh(window).focused(), 10, "a focused control")
        self.assertEqual(focused.rect, (32, 608, 241, 25))

        self.session.move(window, 250, 20)
        self.session.key("alt+F4")
        self.session.program.wait_ended()

    def test_lists_every_entry_with_an_at_sign_and_nothing_else(self):
        self.profile = self.session.new_profile()
        messenger = self.profile.messenger()
        for folder in ("alice@live.fr", "Shared", ".hidden@live.fr"):
            os.mkdir(os.path.join(messenger, folder))
        write(os.path.join(messenger, "note@old.txt"), b"not an account, listed all the same")
        write(os.path.join(messenger, "contacts.edb"), b"")
        window = self.session.start(self.profile)

        self.assertEqual(sorted(window.list_box().items), [".hidden@live.fr", "alice@live.fr", "note@old.txt"])

    def test_missing_messenger_folder_gives_an_empty_list(self):
        profile = self.session.new_profile()
        os.rmdir(profile.messenger())
        window = self.session.start(profile)

        self.assertEqual(window.list_box().items, [])
        self.assertEqual([w.title for w in self.session.find() if w.pid == window.pid], [MAIN_TITLE])

    def test_profile_path_with_trailing_backslash_is_kept_as_given(self):
        # Some systems set USERPROFILE with a trailing separator; the program
        # must not tidy it, and the doubled separator still finds the accounts.
        profile = self.session.new_profile()
        profile.add_account("carla@live.fr")
        window = self.session.start(profile, userprofile=profile.windows_path + "\\")

        self.assertEqual(window.control_at(32, 568, "Edit").text, profile.windows_path + "\\")
        self.assertEqual(window.list_box().items, ["carla@live.fr"])


if __name__ == "__main__":
    main()
