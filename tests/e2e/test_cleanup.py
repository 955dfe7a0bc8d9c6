"""The whole cleanup job on real folders: what "Réparer" deletes for the chosen
account and what it must leave alone, and the results window with its way back
to the list. The cleanups that fail are the hostile-input cases."""
import os
import re
import sys
import threading

from layout import BACK_COVER, REPAIR_COVER, RESULTS, RESULTS_MESSAGE
from profiles import snapshot, unexpected_changes, windows_path, write, write_tree
from screen import bands, is_dark
from program_display import ProgramTest, wait_for


class Cleanup(ProgramTest):
    def clean(self, account):
        """Picks the account in the list and presses "Réparer"."""
        self.select_account(self.main, account)
        self.press(self.main, REPAIR_COVER)

    def go_back(self, results):
        self.press(results, BACK_COVER)
        self.wine.wait_hidden(results)

    def message(self, results, changed_from=None):
        """The results message once drawn, on at least two lines, or changed from an earlier one."""
        return self.wait_image(results, lambda image: (image.data != changed_from.data if changed_from else len(
            bands(image.rows_where(is_dark))) >= 2) and image, "the results message", results.rect(RESULTS_MESSAGE))

    def test_deletes_both_folders_of_the_chosen_account_only(self):
        self.start_with_accounts("andré@exemple.fr", "bob@hotmail.com", "王小明@例子.cn")
        before = snapshot(self.profile.root)

        self.clean("bob@hotmail.com")
        results = self.wine.window(RESULTS)
        wait_for(lambda: not os.path.exists(self.profile.contacts("bob@hotmail.com")), 20, "the deletion")
        gone = [os.path.relpath(folder("bob@hotmail.com"), self.profile.root)
                for folder in (self.profile.messenger, self.profile.contacts)]
        self.assertEqual(unexpected_changes(before, snapshot(self.profile.root), gone), [])
        first_message = self.message(results)
        # The list is refreshed only on the way back.
        self.assertIn("bob@hotmail.com", self.wine.refresh(self.main).list_box().items)

        self.go_back(results)
        box = self.wine.refresh(self.main).list_box()
        self.assertEqual(sorted(box.items), ["andré@exemple.fr", "王小明@例子.cn"])
        self.assertEqual(box.selected, -1)

        # A second account: the message is composed again, and the back button,
        # hidden under the pointer with its window, shows still revealed.
        self.clean("王小明@例子.cn")
        results = self.wine.window(RESULTS)
        self.assert_button(results, BACK_COVER, highlighted=True)
        wait_for(lambda: not os.path.exists(self.profile.contacts("王小明@例子.cn")), 20, "the deletion")
        self.message(results, changed_from=first_message)
        self.assertTrue(os.path.exists(self.profile.messenger("andré@exemple.fr")))
        self.go_back(results)
        self.assertEqual(self.wine.refresh(self.main).list_box().items, ["andré@exemple.fr"])

    def test_cleanup_while_the_results_are_shown_names_the_new_account(self):
        self.start_with_accounts("ines@live.fr", "paul@live.fr")
        self.clean("ines@live.fr")
        results = self.wine.window(RESULTS)
        first_message = self.message(results)

        self.clean("paul@live.fr")
        self.message(results, changed_from=first_message)
        wait_for(lambda: not os.path.exists(self.profile.contacts("paul@live.fr")), 20, "the deletion")
        self.assertTrue(self.wine.refresh(results).visible)

    def test_windows_answer_throughout_a_large_deletion(self):
        """20,000 files in 500 folders: the results window is drawn while they
        go, the main window answers within a second all along, and a click on
        the way back made meanwhile is dropped."""
        self.start_with_accounts("gros@live.fr", "voisin@live.fr")
        write_tree(os.path.join(self.profile.messenger("gros@live.fr"), "ObjectStore"), folders=500, files=40)
        stop = os.path.join(self.wine.tmp, "responsiveness.stop")
        answers = []
        pinger = threading.Thread(target=lambda: answers.append(self.wine.run_probe(
            "responsiveness", str(self.main.hwnd), windows_path(stop), timeout=600)))
        pinger.start()
        try:
            self.clean("gros@live.fr")
            results = self.wine.window(RESULTS)
            self.message(results)
            self.assertTrue(os.path.exists(self.profile.contacts("gros@live.fr")), "the deletion was over too soon")
            self.wine.click(results, *results.centre(BACK_COVER))
            wait_for(lambda: not os.path.exists(self.profile.contacts("gros@live.fr")), 300, "the deletion")
        finally:
            write(stop, b"")
            pinger.join()
        found = re.search(r"longest_ms=(\d+) count=(\d+)", answers[0] if answers else "")
        self.assertIsNotNone(found, answers)
        longest, count = int(found.group(1)), int(found.group(2))
        sys.stderr.write("\n  measured: longest wait %d ms over %d messages ... " % (longest, count))
        self.assertGreater(count, 10)
        self.assertLess(longest, 1000, "the main window took %d ms to answer during the deletion" % longest)
        self.assertTrue(self.wine.refresh(results).visible)
        self.assertTrue(os.path.exists(self.profile.messenger("voisin@live.fr")))
