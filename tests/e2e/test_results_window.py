"""The results window's ways out: the relaunch picture button that starts
Messenger and ends the program, and the push buttons below its visible area
that only the keyboard reaches."""
import os

from harness import RESULTS_TITLE, ProgramTest, button_checks, main, wait_for, windows_path

REPARER = (392 + 35, 472 + 11)
RELAUNCH = ("relaunch", 8, 128, 353)  # cover Image1 (highlighted) over Image2 (plain)
BARE = (4, 4)
QUIT_AND_RELAUNCH = "Quitter et lancer Windows Live Messenger"  # Command3
QUIT = "Quitter sans lancer Windows Live Messenger"  # Command1
CLOSE_ONLY = "OK (fermer seulement la fenetre des résultats)"  # Command2


class ResultsWindow(ProgramTest):
    def open_results(self, install_stub=True):
        if install_stub:
            self.session.install_messenger_stub()
        else:
            stub = os.path.join(self.session.prefix, "drive_c", "windows", "msnmsgr.exe")
            if os.path.exists(stub):
                os.remove(stub)
        self.marker = os.path.join(self.session.tmp, "msnmsgr-started.txt")
        if os.path.exists(self.marker):
            os.remove(self.marker)
        self.profile = self.session.new_profile()
        self.profile.add_account("ines@live.fr")
        self.main = self.session.start(self.profile, extra_env={"VARDELUNE_STUB_MARKER": windows_path(self.marker)})
        self.select_account(self.main, "ines@live.fr")
        self.session.click(self.main, *REPARER)
        return self.session.window(RESULTS_TITLE)

    def focused_text(self, window):
        return wait_for(lambda: (lambda w: w and w.focused())(self.session.refresh(window)), 10,
                        "a focused control").text

    def wait_focus(self, window, text):
        wait_for(lambda: self.focused_text(window) == text, 10, "the focus on %r" % text)

    def test_relaunch_starts_messenger_and_ends_the_program(self):
        for stub_installed in (True, False):
            with self.subTest(stub_installed=stub_installed):
                self.session.reset()
                results = self.open_results(install_stub=stub_installed)
                # This pair is the other way round: the glow shows at rest.
                self.session.move(results, *BARE)
                self.assert_pixels(results, button_checks(*RELAUNCH, highlighted=True))
                self.session.move(results, RELAUNCH[1] + 170, RELAUNCH[2] + 11)
                self.assert_pixels(results, button_checks(*RELAUNCH, highlighted=False))
                self.session.click()

                if stub_installed:
                    wait_for(lambda: os.path.exists(self.marker), 20, "msnmsgr.exe to start")
                    with open(self.marker, encoding="utf-8") as f:
                        self.assertEqual(f.read().rstrip("\\").lower(), "c:\\windows")
                # Without Messenger the shell starts nothing and shows no message
                # that would hold the program open.
                self.session.program.wait_ended()

    def test_keyboard_reaches_the_push_buttons_below_the_view(self):
        results = self.open_results()
        self.session.move(results, *BARE)
        self.wait_focus(results, QUIT_AND_RELAUNCH)

        # Command3 and Command2 have no handler: activating them does nothing.
        self.session.key("space")
        self.session.key("Tab", "Tab")
        self.wait_focus(results, CLOSE_ONLY)
        self.session.key("space")
        self.session.key("Tab")
        self.wait_focus(results, QUIT_AND_RELAUNCH)
        self.assertTrue(self.session.program.running())
        self.assertTrue(self.session.refresh(results).visible)
        self.assertIn("ines@live.fr", self.session.refresh(self.main).list_box().items)
        self.assertFalse(os.path.exists(self.marker))

        self.session.key("Tab")
        self.wait_focus(results, QUIT)
        self.session.key("space")
        self.session.program.wait_ended()
        self.assertFalse(os.path.exists(self.marker))


if __name__ == "__main__":
    main()
