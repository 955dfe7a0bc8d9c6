"""The whole cleanup job on real folders: what "Réparer" deletes for the chosen
account and what it must leave alone, and the results window with its way back
to the list. The cleanups that fail are the hostile-input cases."""
import os

from layout import BACK_COVER, REPAIR_COVER, RESULTS, RESULTS_MESSAGE
from profiles import snapshot, unexpected_changes
from screen import bands, is_dark
from session import ProgramTest, wait_for


class Cleanup(ProgramTest):
    def clean(self, account):
        """Picks the account in the list and presses "Réparer"."""
        self.select_account(self.main, account)
        self.press(self.main, REPAIR_COVER)

    def go_back(self, results):
        self.press(results, BACK_COVER)
        self.session.wait_hidden(results)

    def message(self, results, changed_from=None):
        """The results message once drawn, on at least two lines, or changed from an earlier one."""
        return self.wait_image(results, lambda image: (image.data != changed_from.data if changed_from else len(
            bands(image.rows_where(is_dark))) >= 2) and image, "the results message", results.rect(RESULTS_MESSAGE))

    def test_deletes_both_folders_of_the_chosen_account_only(self):
        self.start_with_accounts("andré@exemple.fr", "bob@hotmail.com", "王小明@例子.cn")
        before = snapshot(self.profile.root)

        self.clean("bob@hotmail.com")
        results = self.session.window(RESULTS)
        wait_for(lambda: not os.path.exists(self.profile.contacts("bob@hotmail.com")), 20, "the deletion")
        gone = [os.path.relpath(folder("bob@hotmail.com"), self.profile.root)
                for folder in (self.profile.messenger, self.profile.contacts)]
        self.assertEqual(unexpected_changes(before, snapshot(self.profile.root), gone), [])
        first_message = self.message(results)
        # The list is refreshed only on the way back.
        self.assertIn("bob@hotmail.com", self.session.refresh(self.main).list_box().items)

        self.go_back(results)
        box = self.session.refresh(self.main).list_box()
        self.assertEqual(sorted(box.items), ["andré@exemple.fr", "王小明@例子.cn"])
        self.assertEqual(box.selected, -1)

        # A second account: the message is composed again, and the back button,
        # hidden under the pointer with its window, shows still revealed.
        self.clean("王小明@例子.cn")
        results = self.session.window(RESULTS)
        self.assert_button(results, BACK_COVER, highlighted=True)
        wait_for(lambda: not os.path.exists(self.profile.contacts("王小明@例子.cn")), 20, "the deletion")
        self.message(results, changed_from=first_message)
        self.assertTrue(os.path.exists(self.profile.messenger("andré@exemple.fr")))
        self.go_back(results)
        self.assertEqual(self.session.refresh(self.main).list_box().items, ["andré@exemple.fr"])

    def test_cleanup_while_the_results_are_shown_names_the_new_account(self):
        self.start_with_accounts("ines@live.fr", "paul@live.fr")
        self.clean("ines@live.fr")
        results = self.session.window(RESULTS)
        first_message = self.message(results)

        self.clean("paul@live.fr")
        self.message(results, changed_from=first_message)
        wait_for(lambda: not os.path.exists(self.profile.contacts("paul@live.fr")), 20, "the deletion")
        self.assertTrue(self.session.refresh(results).visible)
