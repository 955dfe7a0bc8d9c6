"""The manual-cleanup shortcuts: the two "Ouvrir" buttons and the
temporary-folder link open their folder in the file browser and delete nothing."""
import getpass
import os
import subprocess

from layout import (BACK_COVER, BARE_MAIN_WINDOW, MAIN, OPEN_CONTACTS_COVER, OPEN_MESSENGER_COVER, PROFILE_BOX,
                    REPAIR_COVER, RESULTS, TEMP_LINK_COVER)
from profiles import CONTACTS_DIR, MESSENGER_DIR, TEMP_DIR, WINE, Profile, remove_tree, snapshot
from screen import is_blue_text, is_dark
from program_display import AS_WINE_SETS, QUIET, ProgramTest, wait_for

WINE_LINKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "wine-links.sh")

# The cover to point at, the folder below the profile and the browser's title.
SHORTCUTS = [
    (OPEN_MESSENGER_COVER, MESSENGER_DIR, "Messenger"),
    (OPEN_CONTACTS_COVER, CONTACTS_DIR, "Windows Live Contacts"),
    (TEMP_LINK_COVER, TEMP_DIR, "Temp"),
]


# The links that an earlier wine-links.sh made, "Application Data" among them
# a link to its own folder, by name below the profile.
EARLIER_LINKS = {"Local Settings": "AppData/Local", "AppData/Local/Application Data": ".",
                 "AppData/Local/Temp": "../../Temp"}


def is_own_parent(profile, relative):
    """Whether the folder is, through links, one of the folders above it."""
    real = os.path.realpath(os.path.join(profile, relative))
    parts = relative.split(os.sep)
    return any(os.path.realpath(os.path.join(profile, *parts[:depth])) == real for depth in range(len(parts)))


def walked_by_python(profile):
    """The profile's folders as a program that follows links finds them, and
    those that lead back to a parent (not walked again). Wine's links out of
    the profile, to the Unix home, are not followed: they are not the
    script's, and lead out of the prefix."""
    found, loops, inside = set(), [], os.path.realpath(profile) + os.sep
    for folder, children, _ in os.walk(profile, followlinks=True):
        for child in list(children):
            relative = os.path.relpath(os.path.join(folder, child), profile)
            if not os.path.realpath(os.path.join(profile, relative)).startswith(inside):
                children.remove(child)
                continue
            found.add(relative)
            if is_own_parent(profile, relative):
                loops.append(relative)
                children.remove(child)
    return found, loops


def walked_by_wine(wine, profile, windows_profile, tops):
    """The same below the given top folders, as Windows programs under Wine
    find them: cmd's dir /s, which follows links. The tops hold no link out of
    the profile (some other folders do, to the Unix home, which has no end)."""
    # Arguments apart, joined by cmd's "&": Wine quotes those with spaces itself.
    command = [word for top in tops for word in ("&", "dir", "/s", "/b", "/ad", windows_profile + "\\" + top)][1:]
    # dir answers "File Not Found" for a folder without subfolders: no check of the exit code.
    listing = subprocess.run([WINE, "cmd", "/c", *command], env=wine.env, capture_output=True, timeout=300)
    found = set()
    for line in listing.stdout.decode("utf-8", "replace").splitlines():
        if line.lower().startswith(windows_profile.lower() + "\\"):
            found.add(line[len(windows_profile) + 1:].replace("\\", os.sep))
    return found, sorted(relative for relative in found if is_own_parent(profile, relative))


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

    def test_wine_links_make_no_loop_and_touch_nothing_there(self):
        """tools/wine-links.sh gives the profile the two Local Settings
        folders without any link that leads back to a parent, whether the
        prefix is stock, was changed by an earlier version of the script (whose
        Application Data was a link to itself) or has a Local Settings folder
        of its own; a second run changes nothing and says so."""
        user = getpass.getuser()
        prefix = self.wine.prefix
        profile = os.path.join(prefix, "drive_c", "users", user)
        settings = os.path.join(profile, "Local Settings")

        def earlier_version():
            for name, target in EARLIER_LINKS.items():
                os.symlink(target, os.path.join(profile, name))

        def own_folder():
            os.makedirs(os.path.join(settings, "Temp"))
            with open(os.path.join(settings, "Temp", "notes.txt"), "w") as f:
                f.write("mine")

        cases = [("a stock prefix", lambda: None, ["ajouté (dossier) : Local Settings"]),
                 ("changed by an earlier version", earlier_version,
                  ["retiré (lien d'une version précédente) : %s -> %s" % link for link in EARLIER_LINKS.items()]),
                 ("a Local Settings folder of its own", own_folder,
                  ["déjà là (dossier) : Local Settings", "déjà là : Local Settings/Temp"])]
        for name, prepare, said in cases:
            with self.subTest(name):
                for link in EARLIER_LINKS:
                    if os.path.islink(os.path.join(profile, link)):
                        os.remove(os.path.join(profile, link))
                if os.path.isdir(settings):
                    remove_tree(settings)
                prepare()
                before = snapshot(settings) if not os.path.islink(settings) and os.path.isdir(settings) else {}

                first = subprocess.run([WINE_LINKS, prefix], capture_output=True, text=True, check=True).stdout
                for line in ["Préfixe Wine : " + prefix, "Profil : " + profile] + said:
                    self.assertIn(line, first)
                self.assertIn("ajouté : Local Settings/Application Data -> ../AppData/Local", first)
                self.assertFalse(any(os.path.islink(os.path.join(profile, link)) for link in EARLIER_LINKS
                                     if link != "Local Settings"))
                after = snapshot(settings)
                self.assertEqual({key: value for key, value in after.items() if key in before}, before)

                found, loops = walked_by_python(profile)
                self.assertEqual(loops, [])
                self.assertIn(os.path.join("Local Settings", "Application Data", "Microsoft"), found)
                self.assertIn(os.path.join("Local Settings", "Temp"), found)
                tops = (os.path.join("AppData", "Local"), "Local Settings")
                by_wine, wine_loops = walked_by_wine(self.wine, profile, "C:\\users\\" + user,
                                                     [top.replace(os.sep, "\\") for top in tops])
                self.assertEqual(wine_loops, [])
                self.assertEqual(by_wine, {f for f in found if any(f.startswith(top + os.sep) for top in tops)})

                second = subprocess.run([WINE_LINKS, prefix], capture_output=True, text=True, check=True).stdout
                self.assertIn("Rien n'a été changé", second)
                self.assertEqual(snapshot(settings), after)

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
