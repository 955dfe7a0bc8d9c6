"""Runs the real Vardelune.exe under Wine in a private Xvfb and drives it with
real pointer and keyboard input, for the end-to-end tests. Standard library only.
"""
import ctypes
import hashlib
import json
import os
import shutil
import signal
import stat
import subprocess
import tempfile
import time
import unittest

WINE = "/usr/lib/wine/wine64"
SCREEN = (1280, 1024)
MESSENGER_DIR = "Local Settings/Application Data/Microsoft/Messenger"
CONTACTS_DIR = "Local Settings/Application Data/Microsoft/Windows Live Contacts"
TEMP_DIR = "Local Settings/Temp"

MAIN_TITLE = "Vardelune Messenger"
RESULTS_TITLE = "Résultats"
ERROR_TITLE = "Erreur"
MESSAGE_BOX_CLASS = "#32770"


def wait_for(condition, timeout, what, interval=0.1):
    """Polls condition until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %ss waiting for %s" % (timeout, what))
        time.sleep(interval)


def windows_path(path):
    """The name under which Wine's programs see a Unix path (drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# ---------------------------------------------------------------- screen


class Image:
    """An RGB screenshot of one rectangle of the screen."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def count(self, predicate, rect=None):
        left, top, width, height = rect or (0, 0, self.width, self.height)
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if predicate(self.pixel(x, y)))

    def rows_where(self, predicate, rect=None):
        """The rows (relative to the image) of rect that hold a matching pixel."""
        left, top, width, height = rect or (0, 0, self.width, self.height)
        return [y for y in range(top, top + height)
                if any(predicate(self.pixel(x, y)) for x in range(left, left + width))]


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def near(colour, expected, tolerance=6):
    if isinstance(expected, str):
        expected = hex_colour(expected)
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def colour(expected, tolerance=6):
    """A pixel test: that colour, give or take a little."""
    return lambda c: near(c, expected, tolerance)


def is_blue_text(c):
    return c[2] > 180 and c[0] < 90 and c[1] < 90


def is_dark(c):
    return max(c) < 100


def bands(rows):
    """Groups sorted row numbers into runs of consecutive rows."""
    groups = []
    for row in rows:
        if groups and row == groups[-1][-1] + 1:
            groups[-1].append(row)
        else:
            groups.append([row])
    return groups


# The rings of every picture button, from the edge inwards.
FRAME = "#ecf6f9"
BORDER = "#4878a0"
PLAIN_RING = "#f0f8f8"
GLOW_RING = "#28d0f8"


def button_checks(name, left, top, width, highlighted):
    """Pixel checks of a 23-pixel-high picture button at that client place:
    plain or highlighted is told by the ring just inside the border."""
    ring = colour(GLOW_RING if highlighted else PLAIN_RING)
    middle_x, middle_y = left + width // 2, top + 11
    state = "highlighted" if highlighted else "plain"
    return [("%s frame" % name, left, top, colour(FRAME)),
            ("%s frame" % name, left + width - 1, top + 22, colour(FRAME)),
            ("%s border" % name, left + 1, middle_y, colour(BORDER)),
            ("%s border" % name, middle_x, top + 1, colour(BORDER)),
            ("%s border" % name, left + width - 2, middle_y, colour(BORDER)),
            ("%s %s ring" % (name, state), left + 2, middle_y, ring),
            ("%s %s ring" % (name, state), middle_x, top + 2, ring),
            ("%s %s ring" % (name, state), left + width - 3, middle_y, ring)]


# ---------------------------------------------------------------- windows as the probe reads them


class Control:
    def __init__(self, data):
        self.hwnd = data["hwnd"]
        self.cls = data["class"]
        self.text = data["text"]
        self.rect = tuple(data["rect"])  # left, top, width, height in client pixels
        self.visible = data["visible"]
        self.items = data.get("items")
        self.selected = data.get("selected")
        self.item_height = data.get("itemHeight")
        self.top_index = data.get("topIndex")

    def __repr__(self):
        return "<%s %r at %s>" % (self.cls, self.text, self.rect)


class Window:
    def __init__(self, data):
        self.hwnd = data["hwnd"]
        self.title = data["title"]
        self.cls = data["class"]
        self.pid = data["pid"]
        self.visible = data["visible"]
        self.frame = tuple(data["frame"])  # screen left, top, width, height
        self.client = tuple(data["client"])  # screen left, top, then width, height
        self.focus = data.get("focus")
        self.controls = [Control(c) for c in data["controls"]]

    @property
    def client_size(self):
        return self.client[2], self.client[3]

    def control_at(self, left, top, cls=None):
        """The child control whose rectangle starts at that client point."""
        for control in self.controls:
            if control.rect[:2] == (left, top) and (cls is None or control.cls.lower() == cls.lower()):
                return control
        raise AssertionError("no control at (%d, %d) in %r: %r" % (left, top, self.title, self.controls))

    def focused(self):
        return next((c for c in self.controls if c.hwnd == self.focus), None)

    def list_box(self):
        return next(c for c in self.controls if c.cls.lower() == "listbox")


# ---------------------------------------------------------------- the test profile


class Profile:
    """A profile folder on the Unix side, in the layout the program works on."""

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
        folders = [self.messenger(name)] + ([self.contacts(name)] if contacts else [])
        for folder in folders:
            os.makedirs(os.path.join(folder, "ObjectStore", "UserTile"))
            write(os.path.join(folder, "settings.dat"), name.encode() * 50)
            write(os.path.join(folder, "ObjectStore", "UserTile", "tile.dat"), os.urandom(3000))
        return name


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def snapshot(top):
    """Every entry below top (links not followed) with its kind, size and checksum."""
    entries = {}
    for folder, dirs, files in os.walk(top):
        for name in dirs + files:
            path = os.path.join(folder, name)
            key = os.path.relpath(path, top)
            if os.path.islink(path):
                entries[key] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                entries[key] = ("dir",)
            else:
                with open(path, "rb") as f:
                    entries[key] = ("file", os.path.getsize(path), hashlib.sha256(f.read()).hexdigest())
    return entries


# ---------------------------------------------------------------- the session

_SESSIONS = []


class Session:
    """One Xvfb and one Wine prefix, shared by the tests of one test file. The
    executables come from VARDELUNE_EXE, VARDELUNE_PROBE and VARDELUNE_MESSENGER_STUB."""

    def __init__(self):
        self.exe = os.environ["VARDELUNE_EXE"]
        self.probe = os.environ["VARDELUNE_PROBE"]
        self.stub = os.environ["VARDELUNE_MESSENGER_STUB"]
        for path in (self.exe, self.probe, self.stub):
            if not os.path.isfile(path):
                raise RuntimeError("%s is missing: build the windows-x64 preset first" % path)
        self.tmp = tempfile.mkdtemp(prefix="vardelune-e2e-")
        self.prefix = os.path.join(self.tmp, "prefix")
        self.xvfb = None
        self.program = None
        _SESSIONS.append(self)
        try:
            self.display = self._start_xvfb()
            self.env = dict(os.environ, DISPLAY=self.display, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                            WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="C.UTF-8")
            subprocess.run([WINE, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=180)
        except BaseException:
            self.close()
            raise

    def _start_xvfb(self):
        # -displayfd picks a free display number and reports it once the server answers.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        return ":" + number

    def close(self):
        if self in _SESSIONS:
            _SESSIONS.remove(self)
        if self.program:
            self.program.kill()
        if os.path.isdir(self.prefix):
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.prefix),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            for pid in self._wine_processes():
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()
        remove_tree(self.tmp)

    def _wine_processes(self, name=None):
        """Unix process ids of this prefix's Wine processes (optionally one program's)."""
        marker = ("WINEPREFIX=" + self.prefix).encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if marker not in f.read().split(b"\0"):
                        continue
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    cmdline = f.read()
                with open("/proc/%s/stat" % entry, "rb") as f:
                    if f.read().rsplit(b")", 1)[1].split()[0] == b"Z":
                        continue  # already ended, not yet reaped
            except OSError:
                continue
            if name is None or name.encode() in cmdline:
                found.append(int(entry))
        return found

    def reset(self):
        """Ends every Wine process of the prefix so that the next test starts clean."""
        if self.program:
            self.program.kill()
            self.program = None
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30)
        wait_for(lambda: not self._wine_processes(), 20, "the Wine processes to end")

    # ------------------------------------------------------------ the program

    def new_profile(self, name="profile"):
        return Profile(os.path.join(tempfile.mkdtemp(dir=self.tmp), name))

    def start(self, profile, userprofile=None, extra_env=None):
        """Starts the program with that profile (Wine would otherwise set USERPROFILE
        itself) and waits for its main window."""
        self._warm_up()
        env = dict(self.env, **(extra_env or {}))
        command = "set USERPROFILE=%s&& %s" % (userprofile or profile.windows_path, windows_path(self.exe))
        self.program = Program(subprocess.Popen([WINE, "cmd", "/c", command], env=env,
                                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL),
                               self)
        return self.window(MAIN_TITLE)

    def install_messenger_stub(self):
        shutil.copy(self.stub, os.path.join(self.prefix, "drive_c", "windows", "msnmsgr.exe"))

    # ------------------------------------------------------------ reading windows

    def _warm_up(self):
        # The first Wine process on a cold wineserver brings up the desktop
        # and the services alone, before the program starts.
        self.windows(timeout=90)

    def run_probe(self, *args, timeout=30):
        """Runs the probe and returns its output. The output goes through a file,
        not a pipe: services that a Wine process starts inherit its standard
        handles and would keep a pipe open long after the probe has ended."""
        with tempfile.TemporaryFile(dir=self.tmp) as out:
            subprocess.run([WINE, self.probe] + list(args), env=self.env, stdout=out,
                           stderr=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            return out.read().decode("utf-8")

    def windows(self, timeout=90):
        # Generous: reading a list of thousands of accounts takes many seconds.
        return [Window(w) for w in json.loads(self.run_probe("dump", timeout=timeout))]

    def find(self, title=None, cls=None):
        return [w for w in self.windows() if w.visible and (title is None or w.title == title)
                and (cls is None or w.cls == cls)]

    def window(self, title, timeout=30):
        """The visible top-level window with that exact title, once it is there."""
        return wait_for(lambda: next(iter(self.find(title)), None), timeout, "a window titled %r" % title)

    def refresh(self, window):
        return next((w for w in self.windows() if w.hwnd == window.hwnd), None)

    def wait_hidden(self, window, timeout=15):
        wait_for(lambda: not (lambda w: w and w.visible)(self.refresh(window)), timeout,
                 "window %r to disappear" % window.title)

    def close_window(self, window):
        """Posts WM_CLOSE: windows have no frame, hence no close box, under Xvfb."""
        self.run_probe("close", str(window.hwnd))

    # ------------------------------------------------------------ real input

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True, timeout=30)

    def move(self, window, x, y):
        """Moves the pointer to a client point of the window."""
        self.xdotool("mousemove", window.client[0] + x, window.client[1] + y)

    def click(self, window=None, x=None, y=None):
        if window is not None:
            self.move(window, x, y)
        self.xdotool("click", 1)

    def key(self, *keys):
        self.xdotool("key", *keys)

    def screenshot(self, window, rect=None):
        """The window's client area (or a client rectangle of it) as it is on screen."""
        left, top, width, height = rect or (0, 0) + window.client_size
        out = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
            width, height, window.client[0] + left, window.client[1] + top), "-depth", "8", "rgb:-"],
            env=self.env, capture_output=True, check=True, timeout=30).stdout
        return Image(width, height, out)


class Program:
    """The running Vardelune.exe (through the cmd.exe that set its profile)."""

    def __init__(self, popen, session):
        self.popen, self.session = popen, session

    def running(self):
        return self.popen.poll() is None or bool(self.session._wine_processes("Vardelune.exe"))

    def wait_ended(self, timeout=30):
        wait_for(lambda: not self.running(), timeout, "Vardelune.exe to end")

    def kill(self):
        if self.popen.poll() is None:
            self.popen.kill()
        self.popen.wait()


def _die_with_parent():
    # A test run that is killed outright must not leave its X server behind.
    ctypes.CDLL("libc.so.6").prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def remove_tree(path):
    def make_writable(function, failed, _):
        os.chmod(os.path.dirname(failed), stat.S_IRWXU)
        os.chmod(failed, stat.S_IRWXU)
        function(failed)

    shutil.rmtree(path, onerror=make_writable)


# ---------------------------------------------------------------- test base


class ProgramTest(unittest.TestCase):
    """One session per test file; every test ends all Wine processes after itself."""

    @classmethod
    def setUpClass(cls):
        cls.session = Session()
        cls.addClassCleanup(cls.session.close)

    def setUp(self):
        self.addCleanup(self.session.reset)

    def assert_pixels(self, window, checks, timeout=10):
        """Waits until every (name, x, y, test) check holds on the window's
        client area; painting follows the input a little later."""
        failures = []

        def all_hold():
            image = self.session.screenshot(window)
            failures[:] = ["%s at (%d, %d) is #%02x%02x%02x" % ((name, x, y) + image.pixel(x, y))
                           for name, x, y, test in checks if not test(image.pixel(x, y))]
            return not failures

        try:
            wait_for(all_hold, timeout, "the pixels")
        except AssertionError:
            self.fail("; ".join(failures))

    def wait_image(self, window, condition, what, rect=None, timeout=10):
        """Waits until condition(image) holds on a screenshot of the window."""
        return wait_for(lambda: condition(self.session.screenshot(window, rect)), timeout, what)

    # Helpers shared by the tests of the main window.

    def start_with_accounts(self, *accounts, contacts=True):
        self.profile = self.session.new_profile()
        for account in accounts:
            self.profile.add_account(account, contacts=contacts)
        self.main = self.session.start(self.profile)
        return self.main

    def select_account(self, window, account):
        """Clicks the account's row in the list box, as a user would."""
        window = self.session.refresh(window)
        box = window.list_box()
        index = box.items.index(account)
        row = index - box.top_index
        self.assertGreaterEqual(row, 0, "the account's row is scrolled out of view")
        left, top, width, _ = box.rect
        self.session.click(window, left + width // 2, top + 2 + row * box.item_height + box.item_height // 2)
        return wait_for(lambda: (lambda w: w.list_box().selected == index and w)(self.session.refresh(window)),
                        10, "%r to be selected" % account)


def _end_on_sigterm(*_):
    # ctest ends a test that runs too long with SIGTERM: still clean up.
    for session in list(_SESSIONS):
        session.close()
    os._exit(1)


signal.signal(signal.SIGTERM, _end_on_sigterm)


def main():
    unittest.main(verbosity=2)
