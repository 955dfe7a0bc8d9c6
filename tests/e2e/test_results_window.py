"""The results window's ways out: the relaunch picture button that starts
Messenger and ends the program, and the push buttons below its visible area
that only the keyboard reaches."""
import os
import shutil

from layout import BACK_PUSH_BUTTON, QUIT_PUSH_BUTTON, RELAUNCH_COVER, RELAUNCH_PUSH_BUTTON, REPAIR_COVER, RESULTS
from profiles import windows_path
from program_display import ProgramTest, wait_for


class ResultsWindow(ProgramTest):
    def open_results(self, install_stub=True, registered=None, exe=None):
        self.wine.install_messenger_stub(install_stub, registered)
        self.marker = os.path.join(self.wine.tmp, "msnmsgr-started.txt")
        if os.path.exists(self.marker):
            os.remove(self.marker)
        self.start_with_accounts("ines@live.fr", extra_env={"VARDELUNE_STUB_MARKER": windows_path(self.marker)},
                                 exe=exe)
        self.select_account(self.main, "ines@live.fr")
        self.wine.click(self.main, *self.main.centre(REPAIR_COVER))
        return self.wine.window(RESULTS)

    def wait_focus(self, window, control):
        wait_for(lambda: (lambda w: w and w.focus == w.control(control).hwnd)(self.wine.refresh(window)), 10,
                 "the focus on %s" % control)

    def planted_beside_a_copy_of_the_program(self):
        """The program in a downloads folder, with an msnmsgr.exe planted beside it."""
        folder = os.path.join(self.wine.tmp, "Téléchargements")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(self.wine.exe, os.path.join(folder, "Vardelune.exe"))
        shutil.copy(self.wine.stub, os.path.join(folder, "msnmsgr.exe"))
        return os.path.join(folder, "Vardelune.exe")

    def test_relaunch_starts_messenger_and_ends_the_program(self):
        # Where Messenger is, and the program that the relaunch must start.
        registered = "Program Files\\Windows Live\\Messenger"
        cases = [("in the Windows folder", dict(install_stub=True), "c:\\windows\\msnmsgr.exe"),
                 ("nowhere", dict(install_stub=False), None),
                 ("registered, a copy planted beside the program", dict(install_stub=False, registered=registered),
                  "c:\\%s\\msnmsgr.exe" % registered.lower())]
        for where, options, started in cases:
            with self.subTest(messenger=where):
                self.wine.reset()
                if "registered" in options:
                    options = dict(options, exe=self.planted_beside_a_copy_of_the_program())
                results = self.open_results(**options)
                stub_installed = started is not None
                # This pair is the other way round: the glow shows at rest.
                self.wine.move(results, 4, 4)
                self.assert_button(results, RELAUNCH_COVER, highlighted=True)
                self.press(results, RELAUNCH_COVER, highlighted=False)

                if stub_installed:
                    wait_for(lambda: os.path.exists(self.marker), 20, "msnmsgr.exe to start")
                    with open(self.marker, encoding="utf-8") as f:
                        folder, program = f.read().lower().split("\n")
                    self.assertEqual(folder.rstrip("\\"), "c:\\windows")
                    self.assertEqual(program, started)
                # Without Messenger the shell starts nothing and shows no message
                # that would hold the program open.
                self.wine.wait_ended()

    def test_keyboard_reaches_the_push_buttons_below_the_view(self):
        results = self.open_results()
        self.wine.move(results, 4, 4)
        self.wait_focus(results, RELAUNCH_PUSH_BUTTON)

        # Command3 and Command2 have no handler: activating them does nothing.
        self.wine.key("space")
        self.wine.key("Tab", "Tab")
        self.wait_focus(results, BACK_PUSH_BUTTON)
        self.wine.key("space")
        self.wine.key("Tab")
        self.wait_focus(results, RELAUNCH_PUSH_BUTTON)
        self.assertTrue(self.wine.running())
        self.assertTrue(self.wine.refresh(results).visible)
        self.assertIn("ines@live.fr", self.wine.refresh(self.main).list_box().items)
        self.assertFalse(os.path.exists(self.marker))

        self.wine.key("Tab")
        self.wait_focus(results, QUIT_PUSH_BUTTON)
        self.wine.key("space")
        self.wine.wait_ended()
        self.assertFalse(os.path.exists(self.marker))
