"""Runs the real Vardelune.exe under Wine in a private Xvfb at a chosen
resolution and drives it with real pointer and keyboard input; the base class
of the end-to-end tests. Standard library only."""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from layout import MAIN, Layout
from profiles import WINE, Profile, remove_tree, windows_path
from screen import Image, button_checks, glows
from window_model import Window
from wine_display import QUIET, WineDisplay

SCREEN = (1280, 1024)
MESSAGE_BOX_CLASS = "#32770"
AS_WINE_SETS = False  # start(userprofile=...): the profile folder that Wine gives every program


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


def with_retries(action, error, attempts=3):
    """action(attempt number) again while it raises error; the last attempt's error goes on."""
    for attempt in range(1, attempts + 1):
        try:
            return action(attempt)
        except error:
            if attempt == attempts:
                raise


_DISPLAYS = []


class ProgramDisplay(WineDisplay):
    """One Xvfb and one Wine prefix, shared by the tests of one test file. The
    executables come from VARDELUNE_EXE, VARDELUNE_PROBE, VARDELUNE_MESSENGER_STUB
    and VARDELUNE_HOLD_FILE, all of one build; VARDELUNE_WINDOWS_VERSION (winxp)
    sets the version of Windows that the prefix reports."""

    def __init__(self):
        self.exe, self.probe, self.stub, self.hold_file = (os.environ[name] for name in (
            "VARDELUNE_EXE", "VARDELUNE_PROBE", "VARDELUNE_MESSENGER_STUB", "VARDELUNE_HOLD_FILE"))
        for path in (self.exe, self.probe, self.stub, self.hold_file):
            if not os.path.isfile(path):
                raise RuntimeError("%s is missing: build its Windows preset first" % path)
        self.tmp = tempfile.mkdtemp(prefix="vardelune-e2e-")
        self.program = None
        _DISPLAYS.append(self)
        try:
            # A UTF-8 locale: Wine names Unix files in it, and the tests' names go beyond ASCII.
            super().__init__(os.path.join(self.tmp, "prefix"), SCREEN, extra_env={"LC_ALL": "C.UTF-8"})
            self.report_windows_version(os.environ.get("VARDELUNE_WINDOWS_VERSION"))
            self.layout = Layout(self.probe_json("layout", "96"))
        except BaseException:
            self.close()
            raise

    def close(self):
        if self in _DISPLAYS:
            _DISPLAYS.remove(self)
        if self.program:
            self.program.kill()
        if getattr(self, "xvfb", None):
            super().close()
        if os.path.isdir(self.tmp):
            remove_tree(self.tmp)

    def running(self):
        """Whether the program started last still runs (through the cmd.exe that set its profile)."""
        return self.program.poll() is None or bool(self.processes("Vardelune.exe"))

    def wait_ended(self, timeout=30):
        wait_for(lambda: not self.running(), timeout, "Vardelune.exe to end")

    def reset(self):
        """Ends every Wine process of the prefix so that the next test starts clean."""
        if self.program:
            self.program.kill()
            self.program.wait()
            self.program = None
        self.end_all()

    def report_windows_version(self, version):
        """What winecfg's Windows version does: every program started after
        this sees that version (winxp: 5.1), which cmd's ver shows."""
        if not version:
            return
        self.cmd("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f")
        shown = self.cmd("ver")
        if version == "winxp" and "5.1." not in shown:
            raise RuntimeError("the prefix does not report Windows XP: %r" % shown)

    def set_dpi(self, dpi):
        """The resolution that the next programs see: Wine reads it at start-up."""
        if dpi == self.layout.dpi:
            return
        for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
            self.cmd("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        self.reset()
        self.layout = Layout(self.probe_json("layout", str(dpi)))

    # ------------------------------------------------------------ the program

    def new_profile(self, name="profile"):
        return Profile(os.path.join(tempfile.mkdtemp(dir=self.tmp), name))

    def start(self, profile, userprofile=None, extra_env=None, cwd=None, exe=None):
        """Starts the program with that profile (Wine would otherwise set
        USERPROFILE itself, as AS_WINE_SETS lets it; "" unsets it) and waits for its main window. On a
        machine loaded by other Wine tests the window has once failed to show
        in two minutes: one more try, logged, before the test fails."""
        given = profile.windows_path if userprofile is None else userprofile
        command = "set USERPROFILE=%s&& %s" % (given, windows_path(exe or self.exe))
        if userprofile is AS_WINE_SETS:
            command = windows_path(exe or self.exe)
        for attempt in (1, 2):
            self.windows()  # a cold wineserver brings up its desktop and services first
            self.program = subprocess.Popen([WINE, "cmd", "/c", command], env=dict(self.env, **(extra_env or {})),
                                            cwd=cwd, **QUIET)
            try:
                return self.window(MAIN, timeout=120)
            except AssertionError as error:
                shown = [(w.title, w.cls, [c.text for c in w.controls if c.text]) for w in self.find()]
                problem = "%s; running: %s; visible windows: %r" % (error, self.running(), shown)
                if attempt == 2:
                    raise AssertionError(problem) from None
                sys.stderr.write("\n  start-up retried: %s ... " % problem)
                self.reset()

    def install_messenger_stub(self, installed=True, registered=None):
        """The stand-in for Messenger in the Windows folder, or (registered: a
        folder of drive C:) there and under the App Paths key."""
        stub = os.path.join(self.prefix, "drive_c", "windows", "msnmsgr.exe")
        if installed:
            shutil.copy(self.stub, stub)
        elif os.path.exists(stub):
            os.remove(stub)
        key = r"HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\msnmsgr.exe"
        if registered:
            folder = os.path.join(self.prefix, "drive_c", *registered.split("\\"))
            os.makedirs(folder, exist_ok=True)
            shutil.copy(self.stub, os.path.join(folder, "msnmsgr.exe"))
            self.cmd("reg", "add", key, "/ve", "/d", "C:\\%s\\msnmsgr.exe" % registered, "/f")
        else:
            try:
                self.cmd("reg", "delete", key, "/f")
            except subprocess.CalledProcessError:
                pass  # was never registered

    # ------------------------------------------------------------ reading windows

    def run_probe(self, *args, timeout=30):
        return self.run(self.probe, *args, timeout=timeout)[1]

    def probe_json(self, *args, timeout=30):
        """What the probe prints, read as JSON. Right after the prefix was made
        and while a file browser starts, it has printed nothing: ask again."""
        def read(attempt):
            if attempt > 1:
                time.sleep(2)
            return json.loads(self.run_probe(*args, timeout=timeout))
        return with_retries(read, ValueError)

    def windows(self, timeout=90):
        # Generous: reading a list of thousands of accounts takes many seconds.
        return [Window(w, self.layout) for w in self.probe_json("dump", timeout=timeout)]

    def find(self, title=None, cls=None):
        return [w for w in self.windows() if w.visible and (title is None or w.title == title)
                and (cls is None or w.cls == cls)]

    def window(self, title, timeout=30):
        """The visible top-level window with that title (or of that form), once
        it is there; a form's window once all its child controls are made too
        (those out of view come just after its first painting)."""
        form = title if title in self.layout.forms else None
        title = self.layout.title(form) if form else title
        children = len(self.layout.controls(form, "TextBox", "ListBox", "PushButton")) if form else 0
        return wait_for(lambda: next((w for w in self.find(title) if len(w.controls) >= children), None), timeout,
                        "a window titled %r" % title)

    def refresh(self, window):
        return next((w for w in self.windows() if w.hwnd == window.hwnd), None)

    def wait_hidden(self, window, timeout=15):
        wait_for(lambda: not (lambda w: w and w.visible)(self.refresh(window)), timeout,
                 "window %r to disappear" % window.title)

    def close_window(self, window):
        """Posts WM_CLOSE: windows have no frame, hence no close box, under Xvfb."""
        self.run_probe("close", str(window.hwnd))

    # ------------------------------------------------------------ real input

    def move(self, window, x, y):
        """Moves the pointer to a client point of the window."""
        self.xdotool("mousemove", window.client[0] + x, window.client[1] + y)

    def move_onto(self, window, control):
        self.move(window, *window.centre(control))

    def click(self, window=None, x=None, y=None):
        if window is not None:
            self.move(window, x, y)
        self.xdotool("click", 1)

    def key(self, *keys):
        self.xdotool("key", *keys)

    def screenshot(self, window, rect=None):
        """The window's client area (or a client rectangle of it) as it is on screen."""
        left, top, width, height = rect or (0, 0) + window.client_size
        return Image(width, height, super().screenshot(window.client[0] + left, window.client[1] + top, width, height))


class ProgramTest(unittest.TestCase):
    """One display and prefix per test file; every test starts at 96 dots per inch and
    ends all Wine processes after itself."""

    @classmethod
    def setUpClass(cls):
        cls.wine = ProgramDisplay()
        cls.addClassCleanup(cls.wine.close)

    def setUp(self):
        self.wine.set_dpi(96)
        self.addCleanup(self.wine.reset)

    def assert_pixels(self, window, checks, timeout=10):
        """Waits until every (name, x, y, test) check holds on the window's
        client area; painting follows the input a little later."""
        failures = []

        def all_hold():
            image = self.wine.screenshot(window)
            failures[:] = ["%s at (%d, %d) is #%02x%02x%02x" % ((name, x, y) + image.pixel(x, y))
                           for name, x, y, test in checks if not test(image.pixel(x, y))]
            return not failures

        try:
            wait_for(all_hold, timeout, "the pixels")
        except AssertionError:
            self.fail("; ".join(failures))

    def wait_image(self, window, condition, what, rect=None, timeout=10):
        """Waits until condition(image) holds on a screenshot of the window."""
        return wait_for(lambda: condition(self.wine.screenshot(window, rect)), timeout, what)

    def assert_button(self, window, control, highlighted):
        """The picture button at that control's place shows plain or highlighted:
        pixel by pixel at 96 dots per inch, by its glow when scaled."""
        rect = window.rect(control)
        if self.wine.layout.dpi == 96:
            self.assert_pixels(window, button_checks(control, rect, highlighted))
        else:
            self.wait_image(window, lambda image: glows(image, (0, 0) + rect[2:]) == highlighted,
                            "%s %s" % (control, "highlighted" if highlighted else "plain"), rect)

    def press(self, window, cover, highlighted=True):
        """Onto a picture button's cover, which reveals the button, then a click."""
        self.wine.move_onto(window, cover)
        self.assert_button(window, cover, highlighted)
        self.wine.click()

    def start_with_accounts(self, *accounts, extra_env=None, exe=None):
        self.profile = self.wine.new_profile()
        for account in accounts:
            self.profile.add_account(account)
        self.main = self.wine.start(self.profile, extra_env=extra_env, exe=exe)
        return self.main

    def select_account(self, window, account):
        """Clicks the account's row in the list box, as a user would; the end of a
        long list is first brought into view with a click in the list and End."""
        box = self.wine.refresh(window).list_box()
        index = box.items.index(account)
        if index >= box.topIndex + (box.rect[3] - 4) // box.itemHeight:  # not wholly in view
            self.wine.click(window, *box.row_centre(box.topIndex))
            self.wine.key("End")
            wait_for(lambda: self.wine.refresh(window).list_box().topIndex > 0, 60, "the list to scroll")
        # A click that reaches a window Wine has only just mapped can be lost on a
        # loaded machine: like a user, click the row again (it is idempotent).
        def click_row(attempt):
            self.wine.click(window, *self.wine.refresh(window).list_box().row_centre(index))
            return wait_for(lambda: (lambda w: w.list_box().selected == index and w)(self.wine.refresh(window)),
                            5 * attempt ** 2, "%r to be selected" % account)

        return with_retries(click_row, AssertionError)

    def dismiss_error_report(self, report):
        """The report lies wholly on the screen; a click on its button ends the program."""
        left, top, width, height = report.frame
        self.assertTrue(left >= 0 and top >= 0 and left + width <= SCREEN[0] and top + height <= SCREEN[1],
                        "the report at %r is not wholly on the screen" % (report.frame,))
        button = next(c for c in report.controls if c.cls.lower() == "button" and c.visible)
        self.wine.click(report, button.rect[0] + button.rect[2] // 2, button.rect[1] + button.rect[3] // 2)
        self.wine.wait_ended()


def _end_on_sigterm(*_):
    # ctest ends a test that runs too long with SIGTERM: still clean up.
    for wine in list(_DISPLAYS):
        wine.close()
    os._exit(1)


signal.signal(signal.SIGTERM, _end_on_sigterm)
