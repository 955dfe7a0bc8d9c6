# The private X display and Wine prefix that the benchmarks run in: starting
# and stopping them, running a Windows program to its end or until its window
# shows, reading its memory, and real pointer input.
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

from profiles import WINE  # the end-to-end tests' module, on the path that bench.py sets
from xwatch import XWatcher


def log(text):
    print(text, flush=True)


class WineSession:
    def __init__(self, work, display):
        self.display = display
        self.prefix = os.path.join(work, "wineprefix")
        os.makedirs(work, exist_ok=True)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        self.xvfb = None
        self.watcher = None

    def start(self):
        socket = "/tmp/.X11-unix/X" + self.display.lstrip(":")
        if os.path.exists(socket):
            sys.exit(f"display {self.display} is taken; choose another with --display")
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(socket):
                break
            time.sleep(0.05)
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            log("Creating the Wine prefix (about 10 s)...")
            subprocess.run([WINE, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        # One wineserver for every run, so that no run pays for starting it;
        # a lingering one (from the prefix's creation) would refuse -p.
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        self.watcher = XWatcher(self.display)

    def stop(self):
        if self.watcher:
            self.watcher.close()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    # ---- programs that run to their end ---------------------------------------

    def run(self, exe, *arguments):
        """Runs a program and returns (exit code, its output, its errors). The
        output goes through a file, not a pipe: a Wine service started by the
        program would keep a pipe open long after the program has ended."""
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            code = subprocess.run([WINE, exe, *arguments], env=self.env, stdout=out, stderr=err).returncode
            out.seek(0)
            err.seek(0)
            return code, out.read(), err.read()

    def figures(self, exe, *arguments):
        """The NAME=NUMBER pairs that a benchmark program prints, as floats;
        empty when it failed. Returns (figures, error text)."""
        code, out, err = self.run(exe, *arguments)
        values = {key: float(value) for key, value in re.findall(r"(\w+)=([-\d.]+)", out)}
        if code != 0 or not values:
            return {}, f"{os.path.basename(exe)} {arguments[0] if arguments else ''} failed: {err.strip()[:200]}"
        return values, None

    # ---- programs with a window -------------------------------------------------

    def launch(self, exe, title, timeout=120, arguments=()):
        """Starts the program directly under the Wine loader (the Unix process
        is the Windows process) and waits until its window is mapped.
        Returns (process, window, seconds), window None when it never showed."""
        self.xdotool("mousemove", "0", "0")
        self.watcher.drain()
        start = time.perf_counter()
        process = subprocess.Popen([WINE, exe, *arguments], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        found = self.watcher.wait_shown(title, timeout, alive=lambda: process.poll() is None)
        if not found:
            return process, None, None
        window, shown = found
        return process, window, shown - start

    @staticmethod
    def end(process):
        if process.poll() is None:
            process.send_signal(signal.SIGKILL)
        process.wait()
        time.sleep(0.3)  # let the wineserver take the process down

    def start_once(self, exe, title, memory=False, *arguments):
        """Seconds until the window shows, and with memory the peak resident
        size (kB) and the resident kB by mapping once it has settled."""
        process, window, seconds = self.launch(exe, title, arguments=arguments)
        peak = mappings = None
        if window is not None and memory:
            time.sleep(0.5)  # painted and settled
            peak, mappings = peak_memory_kb(process), resident_by_mapping(process)
        self.end(process)
        return seconds, peak, mappings

    # ---- real input ---------------------------------------------------------------

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *map(str, arguments)], env=self.env, check=True, stdout=subprocess.DEVNULL)

    def click_at(self, wid, point):
        self.xdotool("mousemove", "--window", wid, *point, "click", "1")

    def hover(self, wid, point):
        # Onto the cover and a pixel further: the cover hides, the button shows.
        self.xdotool("mousemove", "--window", wid, *point)
        time.sleep(0.2)
        self.xdotool("mousemove", "--window", wid, point[0] + 1, point[1] + 1)
        time.sleep(0.3)


def peak_memory_kb(process):
    try:
        with open(f"/proc/{process.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def resident_by_mapping(process):
    """Resident kB per mapped file (anonymous memory under one name)."""
    totals = {}
    name = None
    try:
        with open(f"/proc/{process.pid}/smaps") as smaps:
            for line in smaps:
                fields = line.split()
                if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
                    path = fields[5] if len(fields) > 5 else "[anonymous]"
                    name = os.path.basename(path) if path.startswith("/") else path
                elif fields and fields[0] == "Rss:":
                    totals[name] = totals.get(name, 0) + int(fields[1])
    except OSError:
        pass
    return totals
