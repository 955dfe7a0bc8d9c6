# The benchmarks' side of the private X display and Wine prefix of
# tools/wine_display.py: running a Windows program until its window shows,
# its figures, its memory, and real pointer input.
import os
import re
import signal
import subprocess
import time

from wine_display import QUIET, WineDisplay, loader  # tools/, on the path that bench.py sets
from xwatch import XWatcher


def log(text):
    print(text, flush=True)


class BenchDisplay(WineDisplay):
    """The shared display and prefix with one wineserver kept for every run, and a watcher
    of the X server that tells the moment a window is mapped."""

    def __init__(self, work):
        log("Starting Xvfb and the Wine prefix (about 10 s when it is new)...")
        super().__init__(os.path.join(work, "wineprefix"), persistent=True)
        self.watcher = XWatcher(self.display)

    def close(self):
        self.watcher.close()
        super().close()

    # ---- programs that run to their end ---------------------------------------

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
        """Starts the program directly under the Wine loader of its bitness (the
        Unix process is the Windows process) and waits until its window is mapped.
        Returns (process, window, seconds), window None when it never showed."""
        self.xdotool("mousemove", "0", "0")
        self.watcher.drain()
        start = time.perf_counter()
        process = subprocess.Popen([loader(exe), exe, *arguments], env=self.env, **QUIET)
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
