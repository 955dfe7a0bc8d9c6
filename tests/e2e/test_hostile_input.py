"""Hostile input, end to end: odd account names, odd profile paths, folders that
fight back (attributes, locks, depth, links) and a very long list. Every case
drives the real program through one cleanup and then proves that nothing
changed outside the two folders that the case allows to go."""
import os
import re
import sys

import hostile_cases as hc
from hostile_cases import CLEANED, NO_ACCOUNT, Error
from layout import ERROR, MESSENGER_FOLDER_BOX, PROFILE_BOX, REPAIR_COVER, RESULTS
from profiles import under, unexpected_changes
from program_display import MESSAGE_BOX_CLASS, ProgramTest, wait_for

LONG_NAME = "é" * 55 + "n" * 134 + "@exemple.fr"  # 200 characters, 255 bytes in UTF-8: the ext4 limit
assert len(LONG_NAME) == 200 and len(LONG_NAME.encode()) == 255
LONGEST_NAME = "n" * 224 + "@exemple.fr"  # 235 characters: its report must still fit the screen
# A Linux folder name that Windows reads as five levels up, then the profile's "Projets".
CLIMB = "@" + "\\.." * 5 + "\\Projets"

# Profile folder as USERPROFILE gives it: the folder's own path, with a
# trailing backslash, or not set at all.
PLAIN, TRAILING, UNSET = "plain", "trailing backslash", "unset"


# name, account to pick ("last": the last one listed), profile setup, expected outcome, options
# (profile: the profile folder's name; userprofile: PLAIN, TRAILING or UNSET).
CASES = [
    # Names as the file system gives them: listed exactly, then cleaned.
    ("spaces",                  " jean  dupont @live.fr",  hc.with_neighbour,             CLEANED),
    ("apostrophe",              "o'connor@live.fr",        hc.with_neighbour,             CLEANED),
    ("ampersand",               "tom&jerry@live.fr",       hc.with_neighbour,             CLEANED),
    ("percent",                 "%USERPROFILE%@100%.fr",   hc.with_neighbour,             CLEANED),
    ("two_apostrophes",         "''@live.fr",              hc.with_neighbour,             CLEANED),
    ("accented_latin",          "élodie.çàêïö@exemple.fr", hc.with_neighbour,             CLEANED),
    ("cjk",                     "王小明@例子.中国",            hc.with_neighbour,             CLEANED),
    ("outside_the_bmp",         "😀𝄞𠜎@exemple.fr",          hc.with_neighbour,             CLEANED),
    # Its folder's path passes 260 characters: deleted all the same.
    ("name_of_200_chars",       LONG_NAME,                 hc.with_neighbour,             CLEANED),
    ("name_of_235_chars",       LONGEST_NAME,              hc.with_neighbour,             CLEANED),
    # Names that the Windows path rules read otherwise: refused, nothing deleted.
    ("wildcard_in_name",        "a*b@live.fr",             hc.beside("axb@live.fr"),  Error(52)),
    ("climbs_out",              CLIMB,                     hc.climbing_name,          Error(52)),
    ("climbs_out_padded",       "support@live.fr" + " " * 60 + CLIMB[1:], hc.climbing_name, Error(52)),
    # Device names mean nothing where entries are opened relative to their folder.
    ("device_like_con",         "con.tact@live.fr",        hc.with_neighbour,             CLEANED),
    ("device_like_aux",         "aux.dupont@live.fr",      hc.with_neighbour,             CLEANED),
    ("device_like_lpt1",        "lpt1.fan@live.fr",        hc.with_neighbour,             CLEANED),
    ("device_like_nul",         "NUL.@live.fr",            hc.with_neighbour,             CLEANED),
    # A trailing dot or space is dropped by those rules: refused, nothing deleted.
    ("trailing_dot",            "point@live.fr.",          hc.beside("point@live.fr"), Error(52)),
    ("trailing_dot_alone",      "seul@live.fr.",           hc.with_neighbour,             Error(52)),
    ("trailing_space",          "espace@live.fr ",         hc.beside("espace@live.fr"), Error(52)),
    # The profile folder.
    ("accented_profile",        "marc@live.fr",            hc.with_neighbour,             CLEANED,
     dict(profile="Jérôme Dupont-Çà")),
    ("profile_trailing_bs",     "marc@live.fr",            hc.with_neighbour,             CLEANED,
     dict(userprofile=TRAILING)),
    ("profile_unset",           "marc@live.fr",            hc.with_neighbour,             NO_ACCOUNT,
     dict(userprofile=UNSET)),
    # Missing folders count as clean.
    ("no_messenger_folder",     "marc@live.fr",            hc.no_messenger_folder,        NO_ACCOUNT),
    ("no_contacts_folder",      "seul@live.fr",            hc.no_contacts_folder,         CLEANED),
    ("no_contacts_data",        "seul@live.fr",            hc.no_contacts_data_folder,    CLEANED),
    # Entries that fight back.
    ("account_is_a_file",       "fichier@live.fr",         hc.account_is_a_file,          Error(76)),
    ("hidden_folders",          "cache@live.fr",           hc.attributes("+h"),           CLEANED),
    ("system_folders",          "systeme@live.fr",         hc.attributes("+s"),           CLEANED),
    # What would stop the deletion midway stops it before anything is deleted.
    ("read_only_folders",       "lecture@live.fr",         hc.attributes("+r"),           Error(70)),
    ("hidden_system_read_only", "tout@live.fr",            hc.attributes("+h", "+s", "+r"), Error(70)),
    ("read_only_file",          "verrou@live.fr",          hc.read_only_file_deep_inside, Error(70)),
    ("read_only_folder_inside", "verrou@live.fr",          hc.read_only_folder_deep_inside, Error(70)),
    ("fifo_inside",             "tube@live.fr",            hc.unusual_entry_inside("fifo"),     Error(75)),
    ("device_inside",           "peripherique@live.fr",    hc.unusual_entry_inside("device"),   Error(75)),
    ("trailing_space_inside",   "espace@live.fr",          hc.trailing_space_inside,
     Error(75, says="point ou espace final")),
    # A file in use stops the cleanup before anything is deleted, shared for deletion or not.
    ("file_held_open",          "ouvert@live.fr",          hc.file_held_open,             Error(70)),
    ("file_held_shared",        "ouvert@live.fr",          hc.file_held_shared,
     Error(70, says="un autre programme utilise ce compte")),
    # A file browser showing the account's folder: it goes once let go, and that is no failure.
    ("account_folder_held",     "vu@live.fr",              hc.account_folder_held_open,   CLEANED),
    # The same account where names ignore case.
    ("case_variant_contacts",   "jean@live.fr",            hc.case_variant_contacts,      CLEANED),
    ("tree_100_deep",           "profond@live.fr",         hc.deep_tree,                  CLEANED),
    ("path_over_260",           "long@live.fr",            hc.long_path_inside,           CLEANED),
    # Links: a folder that holds one, or is one, is refused whole.
    ("link_to_folder",          "lien@live.fr",            hc.link_inside("dossier"),     Error(75)),
    ("link_to_file",            "lien@live.fr",            hc.link_inside("precieux.txt", name="lien.txt"), Error(75)),
    # Both folders are judged before either is deleted.
    ("link_in_contacts",        "lien@live.fr",            hc.link_inside("dossier", "contacts"), Error(75)),
    ("account_is_a_link",       "lien@live.fr",            hc.account_folder_is_a_link,   Error(75)),
    ("contacts_is_a_link",      "lien@live.fr",            hc.contacts_folder_is_a_link,  Error(75)),
    ("case_variant_link",       "casse@live.fr",           hc.case_variant_link,          Error(75)),
    # Once the deletion has begun, a link stops it where it stands.
    ("link_swapped_in",         "echange@live.fr",         hc.link_swapped_in_once_started, Error(75, partial=["messenger"])),
    # A long list.
    ("10000_accounts",          "last",                    hc.many_accounts(10000),       CLEANED),
]

MESSENGER_SUFFIX = "\\Local Settings\\Application Data\\Microsoft\\Messenger\\"
REPORT_NUMBER = re.compile(r"Erreur d'exécution '(-?\d+)'")


class HostileInput(ProgramTest):
    maxDiff = None

    # ------------------------------------------------------------ one case

    def run_case(self, account, setup, outcome, profile="profile", userprofile=PLAIN):
        wine = self.wine
        profile = wine.new_profile(profile)
        place = hc.Place(wine, profile, account if account != "last" else None)
        self.addCleanup(place.release)
        setup(place)

        given = {PLAIN: profile.windows_path, TRAILING: profile.windows_path + "\\", UNSET: ""}[userprofile]
        # The current folder, whose drive an unset profile falls back on, is the case's own.
        main = wine.start(profile, given, cwd=place.case_dir)
        self.assertEqual(main.control(PROFILE_BOX).text, given)  # as the environment gave it
        self.assertEqual(main.control(MESSENGER_FOLDER_BOX).text, given + MESSENGER_SUFFIX)

        data = profile.messenger()
        expected = [] if userprofile == UNSET or not os.path.isdir(data) else sorted(
            entry for entry in os.listdir(data) if "@" in entry)
        items = main.list_box().items
        self.assertEqual(len(items), len(expected))
        self.assertEqual(sorted(items), expected)

        if account == "last":
            place.account = items[-1]
            hc.fill_account(place, place.account)
        if outcome != NO_ACCOUNT:
            self.select_account(main, place.account)
        before = hc.listing(place)

        self.press(main, REPAIR_COVER)
        if outcome == NO_ACCOUNT:
            wine.window(ERROR)
            self.assertEqual(wine.find(cls=MESSAGE_BOX_CLASS), [])
            self.assertFalse(os.path.lexists("/Local Settings"))
            self.assertEqual(unexpected_changes(before, hc.listing(place)), [])
            return

        wine.window(RESULTS)
        folders = {"messenger": place.messenger(), "contacts": place.contacts(place.contacts_name)}
        seen, report = self.observe(folders.values())
        text = ""
        if report:
            self.assertEqual(report.pid, main.pid)
            text = " ".join(c.text for c in report.controls)
            found = REPORT_NUMBER.search(text)
            self.assertIsNotNone(found, "no error number in the report: %r" % text)
            number = int(found.group(1))
            self.dismiss_error_report(report)
        place.release()
        if outcome == CLEANED:
            # A folder that a released holder kept, marked for deletion, goes with its last handle.
            wait_for(lambda: not any(os.path.lexists(f) for f in folders.values()), 10, "the held folder to go")
        if hasattr(place, "swapped"):
            self.assertTrue(place.swapped.is_set(), "the deletion ended before the link could be swapped in")
            if os.path.islink(place.swapped_link):
                os.unlink(place.swapped_link)  # the helper's, not the program's: what it pointed to is checked
        after = hc.listing(place)

        folders = {area: place.relative(path) for area, path in folders.items()}
        self.log_measured(text, before, after, folders)
        for path in place.must_remain:
            self.assertTrue(os.path.exists(path), "%s is gone" % path)
        if outcome == CLEANED:
            self.assertEqual(seen, "returned", "expected a full cleanup, got the report %r" % text)
            self.assertTrue(wine.running())
            self.assertEqual(unexpected_changes(before, after, gone=folders.values()), [])
        else:
            # Whatever happened, the folders that may not go must still be whole.
            self.assertEqual(unexpected_changes(before, after, gone=[folders[f] for f in outcome.gone],
                                                   partial=[folders[f] for f in outcome.partial]), [])
            self.assertEqual(seen, "report", "ended without a report, expected %r" % outcome)
            self.assertEqual(number, outcome.number, text)
            if outcome.says:
                self.assertIn(outcome.says, re.sub(r"\s+", " ", text))

    def log_measured(self, text, before, after, folders):
        """One line of what really happened, for the test log: known faults
        and platform limits are read from it."""
        counts = {}
        for key in before:
            area = next((f for f, prefix in folders.items() if under(key, prefix)), key.split(os.sep)[0])
            counts.setdefault(area, []).append(key not in after)
        report = REPORT_NUMBER.search(text)
        deleted = ", ".join("%s %d of %d" % (area, sum(lost), len(lost)) for area, lost in sorted(counts.items()))
        sys.stderr.write("\n  measured: %s; deleted: %s ... " % (
            "report %s" % report.group(1) if report else "no report", deleted))

    def observe(self, folders):
        """Waits for the real end of the cleanup: the error report, or both
        folders gone (or left empty, marked for deletion) and no report
        coming. The busy pump keeps the windows answering while the deletion
        runs, so an answering window says nothing of its end."""
        wine = self.wine

        def report():
            boxes = wine.find(cls=MESSAGE_BOX_CLASS)
            return ("report", boxes[0]) if boxes else None

        def deleted():
            return all(not os.path.isdir(f) or not os.listdir(f) for f in folders)

        seen = wait_for(lambda: report() or (deleted() and "deleted"), 90, "the cleanup to end")
        if seen != "deleted":
            return seen
        # The final check that each folder is gone comes after the last
        # deletion: a report may still follow.
        late = None
        try:
            late = wait_for(report, 3, "a late report")
        except AssertionError:
            pass
        return late or ("returned", None)


def _case_test(name, account, setup, expected, options=None):
    options = dict(options or {})

    def test(self):
        self.run_case(account, setup, expected, **options)

    test.__doc__ = "%s: %r -> %s" % (name, account, expected)
    return test


for _case in CASES:
    setattr(HostileInput, "test_" + _case[0], _case_test(*_case))
