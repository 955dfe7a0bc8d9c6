# Measures start-up, growth with many accounts, deletion, size and memory of
# Vardelune.exe under Wine in a private Xvfb, each side by side with a reference
# in the same run, and writes the figures to bench/RESULTS.md. Run by bench/run.sh.
import argparse
import datetime
import os
import platform
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xwatch import XWatcher  # noqa: E402

WINE = "/usr/lib/wine/wine64"
MAIN_TITLE = "Vardelune Messenger"
MINIMAL_TITLE = "Minimal Window"
RESULTS_TITLE = "Résultats"
ACCOUNT = "effacer.moi@hotmail.fr"
THREE_ACCOUNTS = ["zoe.martin@hotmail.fr", "jose@live.fr", "camille.dupont@msn.com"]
MANY = 10000
# Client coordinates in the main window: the first row of the account list and
# the "Réparer" cover (392..462, 472..494).
FIRST_ROW = (100, 96)
REPAIR = (427, 483)
BACK = (180, 179)  # the results window's back cover (8..360, 168..190)
KB = 1024


def run_output(command, env):
    """Runs a program and returns (exit code, its output). The output goes
    through a file, not a pipe: a Wine service started by the program would
    keep a pipe open long after the program has ended."""
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        code = subprocess.run(command, env=env, stdout=out, stderr=err).returncode
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read()


def log(text):
    print(text, flush=True)


def median(values):
    return statistics.median(values) if values else None


class Bench:
    def __init__(self, args):
        self.args = args
        self.root = args.work
        self.prefix = os.path.join(self.root, "wineprefix")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=args.display)
        self.xvfb = None
        self.watcher = None
        self.active = None  # which prepared Messenger folder is in place
        self.notes = []
        self.mappings = {}  # resident memory by mapping, last start of each program
        self.hide_ms = None  # hiding a shown bare window (StartupBench hide)

    # ---- environment -----------------------------------------------------

    def start(self):
        os.makedirs(self.root, exist_ok=True)
        number = self.args.display.lstrip(":")
        if os.path.exists("/tmp/.X11-unix/X" + number):
            sys.exit(f"display {self.args.display} is taken; choose another with --display")
        self.xvfb = subprocess.Popen(["Xvfb", self.args.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X" + number):
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
        self.watcher = XWatcher(self.args.display)
        self.prepare_profiles()

    def stop(self):
        if self.watcher:
            self.watcher.close()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=self.env, check=True, stdout=subprocess.DEVNULL)

    # ---- profiles ----------------------------------------------------------
    # Wine sets USERPROFILE itself, so the test profiles live in the prefix's
    # own profile folder; the prepared Messenger folders are renamed into place.

    def prepare_profiles(self):
        users = os.path.join(self.prefix, "drive_c", "users")
        user = next(name for name in sorted(os.listdir(users)) if name != "Public")
        self.profile = os.path.join(users, user)
        self.windows_profile = "C:\\users\\" + user
        self.data = os.path.join(self.profile, "Local Settings", "Application Data", "Microsoft")
        os.makedirs(os.path.join(self.profile, "Local Settings", "Temp"), exist_ok=True)
        self.contacts = os.path.join(self.data, "Windows Live Contacts")
        os.makedirs(self.contacts, exist_ok=True)
        for name in os.listdir(self.data):
            if name == "Messenger" or name.startswith("Messenger."):
                shutil.rmtree(os.path.join(self.data, name))
        self.messenger = os.path.join(self.data, "Messenger")
        for account in THREE_ACCOUNTS:
            os.makedirs(os.path.join(self.data, "Messenger.3", account, "ObjectStore"))
            with open(os.path.join(self.data, "Messenger.3", account, "ObjectStore", "settings.dat"), "w") as f:
                f.write("sample\n")
        os.makedirs(os.path.join(self.data, "Messenger.0"))
        for i in range(MANY):
            os.makedirs(os.path.join(self.data, f"Messenger.{MANY}", f"compte{i:05d}@hotmail.fr"))
        os.makedirs(os.path.join(self.data, "Messenger.del"))
        self.active = None
        self.use("3")
        subprocess.run(["sync"])

    def use(self, name):
        if self.active == name:
            return
        if self.active is not None:
            os.rename(self.messenger, os.path.join(self.data, "Messenger." + self.active))
        os.rename(os.path.join(self.data, "Messenger." + name), self.messenger)
        self.active = name

    def account_folders(self):
        return os.path.join(self.messenger, ACCOUNT), os.path.join(self.contacts, ACCOUNT)

    def build_tree(self):
        """The account's two folders: 20,000 files in 500 folders, and a small
        Contacts folder. The same bytes every time."""
        messenger, contacts = self.account_folders()
        for folder in (messenger, contacts):
            if os.path.lexists(folder):
                shutil.rmtree(folder)
        payload = b"x" * 200
        for store in range(20):
            store_folder = os.path.join(messenger, f"Store{store:02d}")
            folders = [store_folder] + [os.path.join(store_folder, f"Item{item:02d}") for item in range(24)]
            for folder in folders:
                os.makedirs(folder)
                for n in range(40):
                    with open(os.path.join(folder, f"f{n:02d}.dat"), "wb") as f:
                        f.write(payload)
        os.makedirs(os.path.join(contacts, "DBStore"))
        for n in range(10):
            with open(os.path.join(contacts, "DBStore", f"c{n}.edb"), "wb") as f:
                f.write(payload)
        subprocess.run(["sync"])

    # ---- one start of a program ---------------------------------------------

    def launch(self, exe, title, timeout=120):
        """Starts the program directly under the Wine loader (the Unix process
        is the Windows process) and waits until its window is mapped.
        Returns (process, window, seconds), window None when it never showed."""
        self.xdotool("mousemove", "0", "0")
        self.watcher.drain()
        start = time.perf_counter()
        process = subprocess.Popen([WINE, exe], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        found = self.watcher.wait_shown(title, timeout, alive=lambda: process.poll() is None)
        if not found:
            return process, None, None
        window, shown = found
        return process, window, shown - start

    @staticmethod
    def peak_memory_kb(process):
        try:
            with open(f"/proc/{process.pid}/status") as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return None

    @staticmethod
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

    @staticmethod
    def end(process):
        if process.poll() is None:
            process.send_signal(signal.SIGKILL)
        process.wait()
        time.sleep(0.3)  # let the wineserver take the process down

    def start_once(self, exe, title, memory=False):
        process, window, seconds = self.launch(exe, title)
        peak = None
        if window is not None and memory:
            time.sleep(0.5)  # painted and settled
            peak = self.peak_memory_kb(process)
            self.mappings[exe] = self.resident_by_mapping(process)
        self.end(process)
        return seconds, peak

    # ---- the benchmarks -------------------------------------------------------

    def warm_up(self):
        # The first window of a prefix also starts Wine's desktop process.
        for exe, title in ((self.args.minimal, MINIMAL_TITLE), (self.args.program, MAIN_TITLE)):
            self.use("3")
            self.start_once(exe, title)
        time.sleep(2)  # Wine's services, started by the first program, settle

    def alternate(self, runs, ours, reference):
        """Runs both sides in turn; returns the two lists of results."""
        a, b = [], []
        for i in range(runs):
            first, second = (ours, reference) if i % 2 == 0 else (reference, ours)
            r1, r2 = first(), second()
            (a if i % 2 == 0 else b).append(r1)
            (b if i % 2 == 0 else a).append(r2)
        return a, b

    def bench_startup(self):
        log("Start-up: Vardelune (3 accounts) against the minimal window...")
        self.use("3")
        ours, ref = self.alternate(self.args.startup_runs,
                                   lambda: self.start_once(self.args.program, MAIN_TITLE, True),
                                   lambda: self.start_once(self.args.minimal, MINIMAL_TITLE, True))
        log("  ours (s): " + " ".join(f"{s:.3f}" if s else "-" for s, _ in ours))
        log("  reference (s): " + " ".join(f"{s:.3f}" if s else "-" for s, _ in ref))
        return ours, ref

    def bench_growth(self):
        log(f"Growth: Vardelune with {MANY} accounts against 0 accounts...")

        def run(name):
            self.use(name)
            return self.start_once(self.args.program, MAIN_TITLE)[0]

        many, none = self.alternate(self.args.startup_runs, lambda: run(str(MANY)), lambda: run("0"))
        log(f"  {MANY} accounts (s): " + " ".join(f"{s:.3f}" if s else "-" for s in many))
        log("  0 accounts (s): " + " ".join(f"{s:.3f}" if s else "-" for s in none))
        return many, none

    def delete_through_program(self):
        self.use("del")
        self.build_tree()
        messenger, contacts = self.account_folders()
        process, window, _ = self.launch(self.args.program, MAIN_TITLE)
        if window is None:
            self.end(process)
            return None
        wid = str(window)
        self.xdotool("mousemove", "--window", wid, *map(str, FIRST_ROW), "click", "1")
        time.sleep(0.3)
        self.hover(wid, REPAIR)
        self.watcher.drain()
        start = time.perf_counter()
        self.xdotool("click", "1")
        deadline = start + 300
        while (os.path.lexists(messenger) or os.path.lexists(contacts)) and time.perf_counter() < deadline:
            if process.poll() is not None:
                break
            time.sleep(0.002)
        seconds = time.perf_counter() - start
        gone = not os.path.lexists(messenger) and not os.path.lexists(contacts)
        results = self.watcher.wait_shown(RESULTS_TITLE, 5)
        self.end(process)
        if not gone:
            self.notes.append("a deletion through the program did not remove both folders")
            return None
        if results is None:
            self.notes.append("the results window was not seen during a deletion")
        return seconds

    def select_and_repair(self, wid):
        self.xdotool("mousemove", "--window", wid, *map(str, FIRST_ROW), "click", "1")
        time.sleep(0.3)
        self.hover(wid, REPAIR)
        self.xdotool("click", "1")

    def hover(self, wid, point):
        # Onto the cover and a pixel further: the cover hides, the button shows.
        self.xdotool("mousemove", "--window", wid, *map(str, point))
        time.sleep(0.2)
        self.xdotool("mousemove", "--window", wid, str(point[0] + 1), str(point[1] + 1))
        time.sleep(0.3)

    def refill_after_back(self, name, accounts):
        """Seconds from the click on the results window's back button until the
        main window takes events again: the list is cleared and filled anew
        while it is on screen."""
        self.use(name)
        for account in accounts:
            os.makedirs(os.path.join(self.messenger, account), exist_ok=True)
            os.makedirs(os.path.join(self.contacts, account), exist_ok=True)
        process, window, _ = self.launch(self.args.program, MAIN_TITLE)
        seconds = None
        if window is not None:
            self.select_and_repair(str(window))
            results = self.watcher.wait_shown(RESULTS_TITLE, 30)
            if results is None:
                self.notes.append("the results window did not open before going back")
            else:
                time.sleep(0.5)
                asked = time.perf_counter()
                idle = self.watcher.ping(window, 10)
                log(f"  idle main window answers a ping in {1000 * (idle - asked):.1f} ms" if idle else
                    "  idle main window does not answer pings")
                self.hover(str(results[0]), BACK)
                self.watcher.drain()
                start = time.perf_counter()
                self.xdotool("click", "1")
                answered = self.watcher.ping(window, 600)
                if answered is not None:
                    seconds = answered - start
        self.end(process)
        for account in accounts:  # the cleaned account comes back for the next run
            os.makedirs(os.path.join(self.messenger, account), exist_ok=True)
        return seconds

    def bench_refill(self):
        log(f"Refill after going back: {MANY} accounts against 3 (one run each)...")
        many = [f"compte{i:05d}@hotmail.fr" for i in range(MANY)]
        ours = self.refill_after_back(str(MANY), many)
        reference = self.refill_after_back("3", THREE_ACCOUNTS)
        for account in many:
            shutil.rmtree(os.path.join(self.contacts, account), ignore_errors=True)
        # Going back hides the results window first; what that alone costs here.
        hides = []
        for _ in range(self.args.part_runs):
            _, out, _ = run_output([WINE, self.args.startup_bench, "hide"], self.env)
            hides += [float(v) for v in re.findall(r"hide_ms=([\d.]+)", out)]
        self.hide_ms = median(hides)
        return ours, reference

    def delete_with_rm(self):
        self.use("del")
        self.build_tree()
        start = time.perf_counter()
        subprocess.run(["rm", "-rf", *self.account_folders()], check=True)
        return time.perf_counter() - start

    def bench_deletion(self):
        log("Deletion: Vardelune's cleanup against rm -rf of the same tree...")
        return self.alternate(self.args.runs, self.delete_through_program, self.delete_with_rm)

    def platform_bench(self, *arguments):
        code, out, err = run_output([WINE, self.args.platform_bench, *arguments], self.env)
        values = dict(re.findall(r"(\w+)=([-\d.]+)", out))
        if code != 0 or not values:
            self.notes.append(f"PlatformBench {arguments[0]} failed: {err.strip()[:200]}")
            return {}
        return {key: float(value) for key, value in values.items()}

    def bench_deletion_parts(self):
        """Where the deletion time goes: each platform step on its own, on the
        same fresh tree, under the same Wine."""
        log("Deletion, step by step: link walk, script runtime, plain Win32 delete...")
        self.use("del")
        path = self.windows_profile + "\\Local Settings\\Application Data\\Microsoft\\Messenger\\" + ACCOUNT
        parts = {"probe_ms": [], "create_ms": [], "delete_ms": [], "win32_ms": [], "rm_ms": []}
        for _ in range(self.args.part_runs):
            self.build_tree()
            parts["probe_ms"].append(self.platform_bench("probe", path).get("probe_ms"))
            fso = self.platform_bench("fso", path)
            parts["create_ms"].append(fso.get("create_ms"))
            parts["delete_ms"].append(fso.get("delete_ms"))
            self.build_tree()
            parts["win32_ms"].append(self.platform_bench("win32", path).get("win32_ms"))
            self.build_tree()
            messenger, _ = self.account_folders()
            start = time.perf_counter()
            subprocess.run(["rm", "-rf", messenger], check=True)
            parts["rm_ms"].append(1000 * (time.perf_counter() - start))
        shutil.rmtree(os.path.join(self.contacts, ACCOUNT), ignore_errors=True)
        return {key: median([v for v in values if v is not None]) for key, values in parts.items()}

    def bench_startup_parts(self):
        log("Start-up, step by step: loader, OLE, window host, main window, first paint...")
        self.use("3")
        exe = "Z:" + os.path.abspath(self.args.program).replace("/", "\\")
        steps = {}
        for _ in range(self.args.part_runs * 3):
            for mode, arguments in (("program", ["program", exe]), ("minimal", ["minimal"]),
                                    ("pictures", ["program", exe, "ole", "pictures"])):
                code, out, err = run_output([WINE, self.args.startup_bench, *arguments], self.env)
                if code != 0:
                    self.notes.append(f"StartupBench {mode} failed: {err.strip()[:200]}")
                for key, value in re.findall(r"(\w+)_ms=([\d.]+)", out):
                    steps.setdefault((mode, key), []).append(float(value))
                time.sleep(0.3)
        # Fastest of the runs: these steps last tens of milliseconds, and other
        # work on the machine only ever makes them slower.
        return {key: min(values) for key, values in steps.items()}

    def bench_growth_parts(self):
        log("Growth, step by step: enumeration and list fill...")
        pattern = self.windows_profile + "\\Local Settings\\Application Data\\Microsoft\\Messenger\\*@*"
        enum = {}
        for name in (str(MANY), "0"):
            self.use(name)
            for mode in ("enum", "rawenum", "basicenum"):
                enum[(mode, name)] = median([self.platform_bench(mode, pattern).get(mode + "_ms") or 0
                                             for _ in range(self.args.part_runs)])
        # Into a list box that is already on screen (the refill after going
        # back from the results window) one item at a time costs about 10 ms
        # per item under Wine: that variant is timed on a tenth of the items.
        plans = [(MANY, ["hidden_plain", "hidden_noredraw", "hidden_initstorage", "hidden_both",
                         "shown_noredraw"]), (MANY // 10, ["shown_plain"])]
        fills = {}
        for _ in range(self.args.part_runs):
            for count, variants in plans:
                _, out, _ = run_output([WINE, self.args.list_bench, str(count), *variants], self.env)
                for key, value in re.findall(r"(\w+)_ms=([\d.]+)", out):
                    fills.setdefault((key, count), []).append(float(value))
        return enum, {key: median(values) for key, values in fills.items()}


# ---- sizes ---------------------------------------------------------------------

def sections(exe):
    """Section name -> size in the file, from objdump's header table."""
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", exe], capture_output=True, text=True).stdout
    table = {}
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 7 and fields[0].isdigit():
            table[fields[1]] = int(fields[2], 16)
    return table


# ---- report --------------------------------------------------------------------

def ratio_of_pairs(ours, reference):
    pairs = [a / b for a, b in zip(ours, reference) if a and b]
    return median(pairs)


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
    return f"{os.cpu_count()} CPUs, {cpu}, {wine}, Linux {platform.release()}"


def fmt(value, unit):
    if value is None:
        return "n/a"
    if unit == "ms":
        return f"{value * 1000:.0f} ms"
    if unit == "KB":
        return f"{value / KB:.0f} KB" if value >= KB else f"{value} B"
    if unit == "kB":
        return f"{value / 1024:.1f} MB"
    return str(value)


def verdict(value, goal):
    if value is None or goal is None:
        return "n/a" if goal is not None else "(no goal)"
    return "met" if value <= goal else "missed"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--minimal", required=True)
    parser.add_argument("--platform-bench", required=True)
    parser.add_argument("--list-bench", required=True)
    parser.add_argument("--startup-bench", required=True)
    parser.add_argument("--program-x86")
    parser.add_argument("--minimal-x86")
    parser.add_argument("--work", default=f"/tmp/vardelune-bench-{os.getuid()}")
    parser.add_argument("--display", default=":93")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--startup-runs", type=int, default=15)
    parser.add_argument("--part-runs", type=int, default=3)
    parser.add_argument("--results", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "RESULTS.md"))
    # Any of: startup, startup-steps, growth, growth-steps, refill, deletion, deletion-steps.
    parser.add_argument("--only", default="startup,startup-steps,growth,growth-steps,refill,deletion,deletion-steps")
    args = parser.parse_args()
    only = set(args.only.split(","))

    bench = Bench(args)
    figures = {}
    load_before = os.getloadavg()[0]
    try:
        bench.start()
        bench.warm_up()
        # The file-heavy deletions come last: the disk's write-back after them
        # would slow down the start-ups measured after them.
        steps = (("startup", "startup", bench.bench_startup), ("startup-steps", "startup_parts",
                 bench.bench_startup_parts), ("growth", "growth", bench.bench_growth),
                 ("growth-steps", "growth_parts", bench.bench_growth_parts), ("refill", "refill", bench.bench_refill),
                 ("deletion", "deletion", bench.bench_deletion),
                 ("deletion-steps", "deletion_parts", bench.bench_deletion_parts))
        for key, name, run in steps:
            if key in only:
                figures[name] = run()
    finally:
        bench.stop()

    rows = []  # measure, ours, reference, ratio, goal text, verdict

    def add(measure, ours, ref, unit, goal=None, goal_text="(none)", absolute=None):
        if isinstance(ours, list):
            ratio = ratio_of_pairs(ours, ref)
            ours, ref = median([v for v in ours if v]), median([v for v in ref if v])
        else:
            ratio = ours / ref if ours and ref else None
        checked = absolute if absolute is not None else ratio
        rows.append((measure, fmt(ours, unit), fmt(ref, unit), f"{ratio:.2f}" if ratio else "n/a", goal_text,
                     verdict(checked, goal)))

    if "startup" in figures:
        ours, ref = figures["startup"]
        add("start-up, window shown (3 accounts) vs minimal window", [s for s, _ in ours], [s for s, _ in ref], "ms",
            1.2, "<= 1.2x")
        add("peak memory (VmHWM) after showing vs minimal window", [m for _, m in ours], [m for _, m in ref], "kB")
    if "growth" in figures:
        many, none = figures["growth"]
        add(f"start-up with {MANY} accounts vs 0 accounts", many, none, "ms", 1.5, "<= 1.5x")
    if "deletion" in figures:
        ours, ref = figures["deletion"]
        add("deletion of 20,000 files in 500 folders: click to both gone vs rm -rf", ours, ref, "ms")
    if "refill" in figures:
        ours, ref = figures["refill"]
        add(f"refill after going back, {MANY} accounts vs 3 (one run)", ours, ref, "ms")
    for label, exe, ref in (("x64", args.program, args.minimal), ("x86", args.program_x86, args.minimal_x86)):
        size = os.path.getsize(exe) if exe and os.path.exists(exe) else None
        ref_size = os.path.getsize(ref) if ref and os.path.exists(ref) else None
        add(f"executable size, {label} vs minimal window", size, ref_size, "KB", 512 * KB, "<= 512 KB",
            absolute=size)

    fastest = []
    for key, label, pick in (("startup", "start-up (3 accounts) vs minimal window", lambda run: run[0]),
                             ("growth", f"start-up with {MANY} vs 0 accounts", lambda run: run)):
        if key in figures:
            ours = [pick(run) for run in figures[key][0] if pick(run)]
            ref = [pick(run) for run in figures[key][1] if pick(run)]
            if ours and ref:
                fastest.append(f"- {label}: {min(ours) * 1000:.0f} ms vs {min(ref) * 1000:.0f} ms, "
                               f"ratio {min(ours) / min(ref):.2f}")

    header = ("Measure", "Ours", "Reference", "Ratio", "Goal", "Verdict")
    table = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    table += ["| " + " | ".join(row) + " |" for row in rows]

    details = []
    if bench.hide_ms is not None:
        details += [f"Hiding a shown bare top-level window (ShowWindow SW_HIDE, StartupBench hide, median of "
                    f"{args.part_runs}): {bench.hide_ms:.0f} ms; going back hides the results window before the "
                    "list is refilled, so this is part of both refill figures.", ""]
    if fastest:
        details += ["The fastest run of each side, less disturbed by other work on the machine:", ""] + fastest + [""]
    if "deletion_parts" in figures:
        p = figures["deletion_parts"]
        details += [
            "Deletion of the Messenger folder alone (20,000 files, 500 folders), each step on its own "
            f"(median of {args.part_runs}):",
            "",
            "| Step | Time |", "|---|---|",
            f"| link walk before deleting (ProbeFsDeletionTarget) | {p['probe_ms']:.0f} ms |"
            if p["probe_ms"] else None,
            f"| script runtime object creation | {p['create_ms']:.0f} ms |" if p["create_ms"] else None,
            f"| script runtime DeleteFolder | {p['delete_ms']:.0f} ms |" if p["delete_ms"] else None,
            f"| plain Win32 recursive delete, same Wine | {p['win32_ms']:.0f} ms |" if p["win32_ms"] else None,
            f"| rm -rf | {p['rm_ms']:.0f} ms |",
            "",
        ]
    if "growth_parts" in figures:
        enum, fills = figures["growth_parts"]
        details += [
            f"Start-up growth, each step on its own (median of {args.part_runs}):",
            "",
            "| Step | Time |", "|---|---|",
            f"| enumeration of {MANY} accounts (FsEnumeration, mask 55) | {enum[('enum', str(MANY))]:.0f} ms |",
            f"| enumeration of {MANY} accounts, bare FindFirstFileW/FindNextFileW | "
            f"{enum[('rawenum', str(MANY))]:.0f} ms |",
            f"| enumeration of {MANY} accounts, FindFirstFileExW without short names, large fetch | "
            f"{enum[('basicenum', str(MANY))]:.0f} ms |",
            f"| enumeration of 0 accounts | {enum[('enum', '0')]:.1f} ms |",
        ]
        names = {
            "hidden_plain": "one LB_ADDSTRING per item, window not yet shown",
            "hidden_noredraw": "same, WM_SETREDRAW FALSE around the fill",
            "hidden_initstorage": "same, LB_INITSTORAGE first",
            "hidden_both": "same, LB_INITSTORAGE and WM_SETREDRAW FALSE",
            "shown_plain": "one LB_ADDSTRING per item, window already shown",
            "shown_noredraw": "same, WM_SETREDRAW FALSE around the fill",
        }
        for (key, count), value in fills.items():
            details.append(f"| list box fill, {count} items: {names.get(key, key)} | {value:.0f} ms |")
        details.append("")
    if "startup_parts" in figures:
        steps = figures["startup_parts"]
        labels = {"loader": "Wine loader, process creation to entry point", "ole": "OleInitialize",
                  "pictures": "all 13 pictures decoded ahead (OleLoadPicture)",
                  "host": "window host (icons, window class)", "window": "main window created, loaded and shown",
                  "paint": "messages and first paint after showing"}
        details += [f"Start-up inside the process, step by step (fastest of {args.part_runs * 3} runs; StartupBench "
                    "carries the program's imports and code; the second column decodes the pictures ahead of the "
                    "window; the third times a bare window in the same kind of process):",
                    "", "| Step | Vardelune | Vardelune, pictures ahead | bare window |", "|---|---|---|---|"]

        def cell(value):
            return f"{value:.1f} ms" if value is not None else "-"

        for key, label in labels.items():
            details.append(f"| {label} | {cell(steps.get(('program', key)))} | {cell(steps.get(('pictures', key)))} "
                           f"| {cell(steps.get(('minimal', key)))} |")
        details.append("")
    ours_map, ref_map = bench.mappings.get(args.program), bench.mappings.get(args.minimal)
    if ours_map and ref_map:
        differences = sorted(((ours_map.get(k, 0) - ref_map.get(k, 0), k) for k in set(ours_map) | set(ref_map)),
                             reverse=True)
        details += ["Resident memory after showing, Vardelune minus the minimal window, largest differences "
                    f"(total {sum(ours_map.values()) - sum(ref_map.values())} kB):", "",
                    "| Mapping | Difference |", "|---|---|"]
        details += [f"| {name} | {kb:+d} kB |" for kb, name in differences[:8] if kb > 0]
        details.append("")
    details = [line for line in details if line is not None]
    sizes = []
    for label, exe in (("x64", args.program), ("x86", args.program_x86)):
        if exe and os.path.exists(exe):
            parts = ", ".join(f"{name} {size / KB:.0f} KB" for name, size in sections(exe).items() if size)
            sizes.append(f"- Vardelune.exe {label}: {os.path.getsize(exe) / KB:.0f} KB: {parts}")
    if sizes:
        details += ["Executable sections (bytes in the file):", ""] + sizes + [""]

    load_after = os.getloadavg()[0]
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    text = "\n".join([
        "<!-- The latest benchmark figures, written by bench/run.sh (bench/bench.py); do not edit by hand. -->",
        "# Benchmark results",
        "",
        f"Latest run: {now}; {machine()}. Command: `bench/run.sh`.",
        f"Each comparison alternates the two sides, {args.startup_runs} runs each for start-up and growth, "
        f"{args.runs} for deletion; times are medians, the ratio is the "
        "median of the per-run ratios. Start-up runs from the start of the Wine process to the map of the "
        "window on the X display (Xvfb, no window manager). The refill runs from the click on the results "
        "window's back button until the main window answers a _NET_WM_PING, which Wine answers from the "
        "program's message loop.",
        f"Load average (1 min) at the start and the end of the run: {load_before:.2f}, {load_after:.2f} "
        "(other work on the machine widens the spread of the runs).",
        "",
        *table,
        "",
        *details,
        *(["Notes: " + "; ".join(sorted(set(bench.notes))), ""] if bench.notes else []),
    ])
    print()
    print("\n".join(table))
    print()
    print("\n".join(details))
    if bench.notes:
        print("Notes:", "; ".join(sorted(set(bench.notes))))
    with open(args.results, "w") as f:
        f.write(text)
    log(f"Written to {args.results}")


if __name__ == "__main__":
    main()
