"""The whole cleanup job on real folders: what "Réparer" deletes for the chosen
account and what it must leave alone, the results window and its way back to
the list, and the error report when a deletion cannot be done."""
import os

from layout import BACK_COVER, REPAIR_COVER, RESULTS, RESULTS_MESSAGE
from profiles import snapshot, write
from screen import bands, is_dark
from session import MESSAGE_BOX_CLASS, ProgramTest, main, wait_for


def without(entries, *prefixes):
    return {key: value for key, value in entries.items()
            if not any(key == p or key.startswith(p + os.sep) for p in prefixes)}


class Cleanup(ProgramTest):
    def relative(self, path):
        return os.path.relpath(path, self.profile.root)

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
        accounts = ["andré@exemple.fr", "bob@hotmail.com", "王小明@例子.cn"]
        self.start_with_accounts(*accounts)
        before = snapshot(self.profile.root)

        self.clean("bob@hotmail.com")
        results = self.session.window(RESULTS)
        wait_for(lambda: not os.path.exists(self.profile.contacts("bob@hotmail.com")), 20, "the deletion")
        self.assertFalse(os.path.exists(self.profile.messenger("bob@hotmail.com")))
        self.assertEqual(snapshot(self.profile.root), without(before, self.relative(
            self.profile.messenger("bob@hotmail.com")), self.relative(self.profile.contacts("bob@hotmail.com"))))
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

    def test_account_without_contacts_folder_is_cleaned_without_error(self):
        self.profile = self.session.new_profile()
        self.profile.add_account("solo@live.fr", contacts=False)
        self.profile.add_account("other@live.fr")
        before = snapshot(self.profile.root)
        self.main = self.session.start(self.profile)

        self.clean("solo@live.fr")
        results = self.session.window(RESULTS)
        wait_for(lambda: not os.path.exists(self.profile.messenger("solo@live.fr")), 20, "the deletion")
        self.go_back(results)

        self.assertEqual(self.session.refresh(self.main).list_box().items, ["other@live.fr"])
        self.assertEqual(self.session.find(cls=MESSAGE_BOX_CLASS), [])
        self.assertEqual(snapshot(self.profile.root),
                         without(before, self.relative(self.profile.messenger("solo@live.fr"))))

    def test_read_only_file_stops_the_cleanup_with_the_error_report(self):
        self.start_with_accounts("ro@live.fr", "other@live.fr")
        locked = os.path.join(self.profile.messenger("ro@live.fr"), "ObjectStore", "UserTile", "tile.dat")
        os.chmod(locked, 0o444)
        contacts_before = snapshot(self.profile.contacts())
        other_before = snapshot(self.profile.messenger("other@live.fr"))

        self.clean("ro@live.fr")
        report = self.error_report()
        self.assertEqual(report.pid, self.main.pid)
        # The report states the error's number: 70, permission denied.
        text = " ".join(control.text for control in report.controls).replace(self.profile.windows_path, "")
        self.assertRegex(text, r"\b70\b")
        self.dismiss_error_report(report)

        self.assertTrue(os.path.exists(locked))
        self.assertEqual(snapshot(self.profile.contacts()), contacts_before)
        self.assertEqual(snapshot(self.profile.messenger("other@live.fr")), other_before)

    def test_link_inside_an_account_folder_is_never_followed(self):
        # Removing a folder that holds a link must not remove what the link
        # points to, outside the profile; the program refuses the folder.
        for place in ("messenger", "contacts"):
            with self.subTest(link_in=place):
                self.session.reset()
                self.start_with_accounts("linked@live.fr")
                outside = os.path.join(self.session.tmp, "outside-" + place)
                os.makedirs(os.path.join(outside, "keep"))
                write(os.path.join(outside, "precious.txt"), b"do not delete" * 100)
                write(os.path.join(outside, "keep", "deep.bin"), os.urandom(5000))
                account_folder = getattr(self.profile, place)("linked@live.fr")
                os.symlink(outside, os.path.join(account_folder, "link"))
                target_before = snapshot(outside)
                folder_before = snapshot(account_folder)
                contacts_before = snapshot(self.profile.contacts("linked@live.fr"))

                self.clean("linked@live.fr")
                self.dismiss_error_report(self.error_report())

                self.assertEqual(snapshot(outside), target_before)
                self.assertEqual(snapshot(account_folder), folder_before)
                if place == "messenger":
                    self.assertEqual(snapshot(self.profile.contacts("linked@live.fr")), contacts_before)
                else:
                    self.assertFalse(os.path.exists(self.profile.messenger("linked@live.fr")))


if __name__ == "__main__":
    main()
