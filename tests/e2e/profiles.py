"""Test profiles on the Unix side, in the folder layout that the program works
on, and listings of folders that show what a run changed."""
import hashlib
import os
import shutil
import stat
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from wine_display import WINE, loader, windows_path  # noqa: E402,F401  (the one Wine-and-Xvfb module)

MESSENGER_DIR = "Local Settings/Application Data/Microsoft/Messenger"
CONTACTS_DIR = "Local Settings/Application Data/Microsoft/Windows Live Contacts"
TEMP_DIR = "Local Settings/Temp"


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def write_tree(top, folders, files, data=b"x"):
    """A large account: that many folders below top, each of that many files."""
    for f in range(folders):
        folder = os.path.join(top, "d%03d" % f)
        os.makedirs(folder)
        for n in range(files):
            write(os.path.join(folder, "f%03d.dat" % n), data)


class Profile:
    def __init__(self, root):
        self.root = root
        for sub in (MESSENGER_DIR, CONTACTS_DIR, TEMP_DIR):
            os.makedirs(os.path.join(root, sub), exist_ok=True)

    @property
    def windows_path(self):
        return windows_path(self.root)

    def messenger(self, account=""):
        return os.path.join(self.root, MESSENGER_DIR, account)

    def contacts(self, account=""):
        return os.path.join(self.root, CONTACTS_DIR, account)

    def add_account(self, name, contacts=True):
        """An account folder as Messenger leaves it: a few files and a subfolder."""
        for folder in [self.messenger(name)] + ([self.contacts(name)] if contacts else []):
            os.makedirs(os.path.join(folder, "ObjectStore", "UserTile"))
            write(os.path.join(folder, "settings.dat"), name.encode() * 20)
            write(os.path.join(folder, "ObjectStore", "UserTile", "tile.dat"), os.urandom(3000))
        return name


def snapshot(top, label=None):
    """Every entry below top (links listed with their target, never followed)
    with its kind, size and SHA-256; keys are relative to top, under label."""
    entries = {label: ("dir",)} if label else {}
    for folder, dirs, files in os.walk(top):
        for name in dirs + files:
            path = os.path.join(folder, name)
            key = os.path.join(label or "", os.path.relpath(path, top))
            if os.path.islink(path):
                entries[key] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                entries[key] = ("dir",)
            elif not os.path.isfile(path):
                entries[key] = ("not a file", os.stat(path).st_mode)  # a pipe, a device: never opened
            else:
                digest = hashlib.sha256()
                with open(path, "rb") as f:
                    for block in iter(lambda: f.read(1 << 20), b""):
                        digest.update(block)
                entries[key] = ("file", os.path.getsize(path), digest.hexdigest())
    return entries


def under(key, prefix):
    return key == prefix or key.startswith(prefix + os.sep)


def unexpected_changes(before, after, gone=(), partial=()):
    """What differs between two listings beyond the removal of the gone
    folders (all of them) and of part of the partial ones."""
    problems = []
    for key in sorted(set(before) | set(after)):
        if any(under(key, p) for p in gone):
            if key in after:
                problems.append("not deleted: %s" % key)
        elif key not in before:
            problems.append("appeared: %s" % key)
        elif key not in after:
            if not any(under(key, p) for p in partial):
                problems.append("deleted: %s" % key)
        elif before[key] != after[key]:
            problems.append("changed: %s %r -> %r" % (key, before[key], after[key]))
    return problems


def remove_tree(path):
    def make_writable(function, failed, _):
        os.chmod(os.path.dirname(failed), stat.S_IRWXU)
        os.chmod(failed, stat.S_IRWXU)
        function(failed)

    shutil.rmtree(path, onerror=make_writable)
