"""Building blocks of the hostile-input tests: the profiles that each case sets
up, the bystander folder that links point into, and the before/after listing
that proves nothing but the chosen account's two folders changed."""
import os
import stat
import subprocess
import threading
import time

from profiles import loader, snapshot, windows_path, write, write_tree
from program_display import wait_for

NEIGHBOUR = "voisin@live.fr"


class Error:
    """The error report with that number, then the end of the process.
    gone: folders ("messenger", "contacts") that must be deleted before the
    failure; partial: folders of which the part before the failure may go;
    says: words of the reason that the report must give."""

    def __init__(self, number, gone=(), partial=(), says=None):
        self.number, self.gone, self.partial, self.says = number, tuple(gone), tuple(partial), says

    def __repr__(self):
        return "error %d" % self.number


CLEANED = "cleaned"  # results window, both folders gone, no report, program still running
NO_ACCOUNT = "no account"  # nothing to select: "Réparer" shows the "Erreur" window


# ---------------------------------------------------------------- the places of one case


class Place:
    """One case's profile, its bystander folder outside the profile, and the
    chosen account. Setups fill it in."""

    def __init__(self, wine, profile, account):
        self.wine, self.profile, self.account = wine, profile, account
        self.case_dir = os.path.dirname(profile.root)
        self.bystander = os.path.join(self.case_dir, "bystander")
        os.makedirs(os.path.join(self.bystander, "dossier", "sous-dossier"))
        write(os.path.join(self.bystander, "precieux.txt"), b"ne pas effacer\n" * 200)
        write(os.path.join(self.bystander, "dossier", "photo.jpg"), os.urandom(8000))
        write(os.path.join(self.bystander, "dossier", "sous-dossier", "notes.txt"), b"notes" * 300)
        self.holder = None
        self.must_remain = []  # files whose survival proves that a report told the truth
        self.contacts_name = None  # the Contacts folder's own name, when it differs from the account's

    def messenger(self, name=None):
        return self.profile.messenger(self.account if name is None else name)

    def contacts(self, name=None):
        return self.profile.contacts(self.account if name is None else name)

    def relative(self, path):
        return os.path.join("profile", os.path.relpath(path, self.profile.root))

    def attrib(self, flag, path):
        """Sets one DOS attribute the Windows way, through attrib.exe in the
        display's prefix. One flag a run: Wine drops a whole attrib run when
        one of its flags cannot be set."""
        self.wine.cmd("attrib", flag, windows_path(path))

    def require_attributes(self, path, *flags):
        """Checks that Windows reports those attributes ("+h", ...) on path."""
        shown = self.wine.cmd("attrib", windows_path(path)).split("Z:\\")[0]
        missing = [flag for flag in flags if flag[1].upper() not in shown]
        if missing:
            raise AssertionError("Windows does not report %s on %s: %r" % (missing, path, shown))

    def hold(self, path, shared=False):
        """Opens the file from another Windows process, until the case ends:
        with no sharing, or shared as a file browser holds a folder it shows."""
        ready = os.path.join(self.case_dir, "held.ready")
        holder = self.wine.hold_file
        self.holder = subprocess.Popen([loader(holder), holder, windows_path(path), windows_path(ready)]
                                       + (["shared"] if shared else []),
                                       env=self.wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(ready) or self.holder.poll() is not None, 60, "the file to be held")
        if not os.path.exists(ready):
            raise AssertionError("HoldFile ended with %r before holding %s" % (self.holder.returncode, path))

    def release(self):
        if self.holder:
            self.holder.kill()
            self.holder.wait()
            self.holder = None


def listing(place):
    """The profile and the bystander, entry by entry."""
    return dict(snapshot(place.profile.root, "profile"), **snapshot(place.bystander, "bystander"))


# ---------------------------------------------------------------- setups


def account(place, name=None, contacts=True):
    place.profile.add_account(place.account if name is None else name, contacts)


def beside(other):
    """The chosen account and another one: a neighbour that must survive its
    cleanup, or a look-alike whose name differs only in what the Windows path
    rules would tidy away or read as a wildcard."""
    def setup(place):
        account(place)
        account(place, other)
    return setup


with_neighbour = beside(NEIGHBOUR)


def no_messenger_folder(place):
    os.rmdir(place.profile.messenger())


def no_contacts_folder(place):
    account(place, contacts=False)
    account(place, NEIGHBOUR)


def no_contacts_data_folder(place):
    account(place, contacts=False)
    os.rmdir(place.profile.contacts())


def contacts_beside_a_neighbour(place):
    """The chosen account's Contacts folder and another account; its Messenger folder is the case's."""
    account(place, NEIGHBOUR)
    os.makedirs(place.contacts())
    write(os.path.join(place.contacts(), "contacts.edb"), b"contacts")


def account_is_a_file(place):
    write(place.messenger(), b"not a folder")
    contacts_beside_a_neighbour(place)


def attributes(*flags):
    """Hidden and system through attrib.exe. Wine's attrib cannot make a
    folder read-only, but Wine reports a folder without Unix write
    permission as read-only: that is how "R" is set here. The program
    refuses it by that attribute, so root's override of permissions on the
    Unix side changes nothing of the outcome."""
    def setup(place):
        with_neighbour(place)
        for folder in (place.messenger(), place.contacts()):
            # Wine keeps hidden and system in the folder's extended attributes:
            # set them while the folder may still be written.
            for flag in flags:
                if flag != "+r":
                    place.attrib(flag, folder)
            if "+r" in flags:
                os.chmod(folder, 0o555)
            place.require_attributes(folder, *flags)
    return setup


def read_only_file_deep_inside(place):
    with_neighbour(place)
    deep = os.path.join(place.messenger(), "ObjectStore", "a", "b", "c")
    os.makedirs(deep)
    write(os.path.join(deep, "verrouille.dat"), b"read-only")
    place.attrib("+r", os.path.join(deep, "verrouille.dat"))
    place.require_attributes(os.path.join(deep, "verrouille.dat"), "+r")
    place.must_remain.append(os.path.join(deep, "verrouille.dat"))


def read_only_folder_deep_inside(place):
    """A subfolder that the user may not write into (Wine shows it read-only),
    after other content that would go first."""
    with_neighbour(place)
    deep = os.path.join(place.messenger(), "ObjectStore", "a", "b")
    os.makedirs(deep)
    write(os.path.join(deep, "c.dat"), b"c")
    os.chmod(deep, 0o555)
    place.require_attributes(deep, "+r")


def file_held_open(place, shared=False):
    with_neighbour(place)
    held = os.path.join(place.messenger(), "ObjectStore", "contacts.edb")
    write(held, os.urandom(4000))
    place.hold(held, shared)
    place.must_remain.append(held)


def file_held_shared(place):
    """Held as an indexer or an antivirus holds a file: shared for deletion."""
    file_held_open(place, shared=True)


def account_folder_held_open(place):
    """A file browser showing the account's Messenger folder."""
    with_neighbour(place)
    place.hold(place.messenger(), shared=True)


def unusual_entry_inside(kind):
    """A pipe or a device node inside the account's folder: neither a file nor a folder."""
    def setup(place):
        with_neighbour(place)
        path = os.path.join(place.messenger(), "ObjectStore", kind)
        if kind == "fifo":
            os.mkfifo(path)
        else:
            os.mknod(path, 0o600 | stat.S_IFCHR, os.makedev(1, 3))
    return setup


def trailing_space_inside(place):
    """A Linux name that Windows would read without its trailing space."""
    with_neighbour(place)
    write(os.path.join(place.messenger(), "ObjectStore", "notes "), b"notes")


def case_variant_contacts(place):
    """The Contacts folder's name differs from the Messenger folder's in case:
    where names ignore case, as Windows' and Wine's do, the same account."""
    account(place, contacts=False)
    account(place, NEIGHBOUR)
    place.contacts_name = place.account[0].upper() + place.account[1:]
    os.makedirs(os.path.join(place.contacts(place.contacts_name), "ObjectStore"))
    write(os.path.join(place.contacts(place.contacts_name), "contacts.edb"), b"contacts")


def deep_tree(place):
    with_neighbour(place)
    folder = place.messenger()
    for level in range(100):
        folder = os.path.join(folder, "d")
        os.mkdir(folder)
        write(os.path.join(folder, "n%d" % level), b"%d" % level)


def long_path_inside(place):
    with_neighbour(place)
    folder = os.path.join(place.messenger(), *["dossier-aux-noms-longs-%02d-" % i + "x" * 60 for i in range(4)])
    os.makedirs(folder)
    write(os.path.join(folder, "fichier-au-bout-d-un-chemin-de-plus-de-260-caracteres.dat"), os.urandom(2000))
    assert len(windows_path(folder)) > 300


def link_inside(target, where="messenger", name="lien"):
    """A link in the account's folder to a bystander folder or file."""
    def setup(place):
        with_neighbour(place)
        os.symlink(os.path.join(place.bystander, target), os.path.join(getattr(place, where)(), "ObjectStore", name))
    return setup


def account_folder_is_a_link(place):
    os.symlink(os.path.join(place.bystander, "dossier"), place.messenger())
    contacts_beside_a_neighbour(place)


def contacts_folder_is_a_link(place):
    account(place, contacts=False)
    os.symlink(os.path.join(place.bystander, "dossier"), place.contacts())


def many_accounts(count):
    def setup(place):
        base = place.profile.messenger()
        for i in range(count):
            os.mkdir(os.path.join(base, "compte%05d@exemple.fr" % i))
        # Which one the file system lists last is known only once it is listed:
        # the test gives that one its files and its Contacts folder then.
    return setup


def fill_account(place, name):
    """Gives an empty account folder its files and its Contacts folder."""
    os.rmdir(place.messenger(name))
    account(place, name)


def climbing_name(place):
    """A name that Windows reads as a path climbing out of the data folder to
    the profile's own "Projets" folder, beside an ordinary neighbour."""
    with_neighbour(place)
    projets = os.path.join(place.profile.root, "Projets")
    os.makedirs(projets)
    write(os.path.join(projets, "rapport.odt"), b"travail" * 500)
    place.must_remain.append(os.path.join(projets, "rapport.odt"))


def case_variant_link(place):
    """A link in the account's folder to the neighbour account's file, whose
    path differs from the link's own by case only."""
    account(place)
    neighbour = place.account.upper()
    account(place, neighbour)
    target = os.path.join(place.messenger(neighbour), "keep.dat")
    write(target, b"le voisin" * 100)
    os.symlink(os.path.join("..", neighbour, "keep.dat"), os.path.join(place.messenger(), "KEEP.DAT"))
    place.must_remain.append(target)


def link_swapped_in_once_started(place):
    """A large account; once its first file is gone, a helper moves one of its
    still whole subfolders out of the way and puts a link to the bystander
    folder in its place."""
    with_neighbour(place)
    store = os.path.join(place.messenger(), "ObjectStore")
    write_tree(store, folders=40, files=100, data=b"x" * 64)
    files = {d: [os.path.join(store, d, f) for f in os.listdir(os.path.join(store, d))] for d in os.listdir(store)}
    place.swapped = threading.Event()

    def swap():
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline:
            whole = [d for d, paths in sorted(files.items()) if all(os.path.exists(p) for p in paths)]
            if len(whole) < len(files):
                if whole:
                    folder = os.path.join(store, whole[len(whole) // 2])
                    os.rename(folder, os.path.join(place.case_dir, "moved"))
                    os.symlink(os.path.join(place.bystander, "dossier"), folder)
                    place.swapped_link = folder
                    place.swapped.set()
                return
            time.sleep(0.002)

    threading.Thread(target=swap, daemon=True).start()
