#!/usr/bin/python3
"""A private X display (Xvfb) and a Wine prefix in which Vardelune's Windows
programs run from Linux: the end-to-end tests, the benchmarks, the contract
tests that need a display and the demo all start them through this module.
Standard library only.

As a program it runs one command on a fresh private display and ends it after:
    wine_display.py [--screen WxH] [--screenshot FILE --title TITLE] -- COMMAND...
With --screenshot it saves the screen once a window of that title shows."""
import argparse
import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time

# The 64-bit Wine loader, which makes the prefixes and runs their own programs
# (cmd, reg, wineboot), and the 32-bit one, for the programs of the x86 build.
WINE = "/usr/lib/wine/wine64"
WINE32 = "/usr/lib/wine/wine"
QUIET = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
WINE_ENV = dict(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")


def windows_path(path):
    """The name under which Wine's programs see a Unix path (drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def loader(exe):
    """The Wine loader of the executable's bitness, read from its PE header
    (the machine field: 0x14c for i386)."""
    with open(exe, "rb") as f:
        header = f.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    machine = int.from_bytes(header[pe + 4:pe + 6], "little")
    return WINE32 if machine == 0x14C else WINE


def _die_with_parent():
    # A run that is killed outright must not leave its X server behind.
    ctypes.CDLL("libc.so.6").prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def start_xvfb(screen):
    """An X server on a display number that it picks itself (-displayfd), so that
    parallel runs never share one. Returns (process, display)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % screen, "-nolisten", "tcp"],
        pass_fds=(write_end,), preexec_fn=_die_with_parent, **QUIET)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


class WineDisplay:
    """One Xvfb and one Wine prefix, made on first use (wineboot) and kept
    when given. persistent keeps one wineserver for every program run in it,
    so that no run pays for starting one; extra_env adds to the programs'
    environment."""

    def __init__(self, prefix, screen=(1280, 1024), persistent=False, extra_env=None):
        self.prefix, self.screen = prefix, screen
        self.xvfb, self.display = start_xvfb(screen)
        self.env = dict(os.environ, DISPLAY=self.display, WINEPREFIX=prefix, **WINE_ENV, **(extra_env or {}))
        try:
            if not os.path.exists(os.path.join(prefix, "system.reg")):
                os.makedirs(prefix, exist_ok=True)
                subprocess.run([WINE, "wineboot", "-i"], env=self.env, timeout=180, **QUIET)
            if persistent:
                # A lingering wineserver (from the prefix's creation) would refuse -p.
                self.end_all()
                subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        except BaseException:
            WineDisplay.close(self)
            raise

    def close(self):
        """Ends every Wine process of the prefix and the X server; keeps the prefix."""
        try:
            self.end_all()
        except Exception:
            pass  # whatever is left is killed below
        for pid in self.processes():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()
            self.xvfb = None

    def processes(self, name=None):
        """The command lines of this prefix's running Wine processes (optionally
        one program's), by Unix process id."""
        marker = ("WINEPREFIX=" + self.prefix).encode()
        found = {}
        for entry in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if marker not in f.read().split(b"\0"):
                        continue
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    cmdline = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
                with open("/proc/%s/stat" % entry, "rb") as f:
                    if f.read().rsplit(b")", 1)[1].split()[0] == b"Z":
                        continue  # already ended, not yet reaped
            except OSError:
                continue
            if name is None or name.lower() in cmdline.lower():
                found[int(entry)] = cmdline
        return found

    def end_all(self, timeout=20):
        """Ends the wineserver and with it every Wine process of the prefix."""
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30, **QUIET)
        deadline = time.monotonic() + timeout
        while self.processes():
            if time.monotonic() > deadline:
                raise AssertionError("the Wine processes did not end in %ss" % timeout)
            time.sleep(0.1)

    def run(self, exe, *arguments, timeout=None):
        """Runs a Windows program to its end: (exit code, output, errors). The
        output goes through files, not pipes: a Wine service that the program
        starts inherits its standard handles and would keep a pipe open long
        after the program has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run([loader(exe), exe, *arguments], env=self.env, stdout=out, stderr=err,
                                  timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            return code, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")

    def cmd(self, *arguments, cwd=None):
        """Runs a Windows command through cmd and returns its output. Arguments
        apart: Wine quotes the ones with spaces itself, and an embedded quote
        would reach cmd escaped."""
        return subprocess.run([WINE, "cmd", "/c", *arguments], env=self.env, capture_output=True, cwd=cwd,
                              timeout=60, check=True).stdout.decode("utf-8", "replace")

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *map(str, arguments)], env=self.env, check=True, timeout=30, **QUIET)

    def screenshot(self, left, top, width, height):
        """The screen's pixels in that rectangle, as RGB bytes row by row."""
        return subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, left, top),
                               "-depth", "8", "rgb:-"], env=self.env, capture_output=True, check=True,
                              timeout=30).stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--screen", default="1280x1024")
    parser.add_argument("--screenshot", help="a PNG file to save the screen to once the window shows")
    parser.add_argument("--title", help="the title of the window to wait for")
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()
    xvfb, display = start_xvfb(tuple(int(n) for n in args.screen.split("x")))
    env = dict(os.environ, DISPLAY=display)
    try:
        if not args.screenshot:
            return subprocess.run(args.command, env=env).returncode
        program = subprocess.Popen(args.command, env=env, **QUIET)
        for _ in range(240):
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % args.title],
                                   env=env, capture_output=True).stdout.strip()
            if found or program.poll() is not None:
                break
            time.sleep(0.5)
        time.sleep(1)  # painted
        subprocess.run(["import", "-window", "root", args.screenshot], env=env, check=True)
        program.kill()
        return 0 if found else 1
    finally:
        xvfb.kill()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())
