# Measures start-up, growth with many accounts, deletion, size and memory of
# Vardelune.exe under Wine in a private Xvfb, each side by side with a reference
# in the same run, and writes the figures to bench/RESULTS.md. Run by bench/run.sh.
# The display and prefix live in bench_display.py, the prepared profiles in prepared_profiles.py,
# the report in report.py; each measure below is one function.
import argparse
import json
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(1, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(2, os.path.join(HERE, "..", "tools"))
from layout import ACCOUNT_LIST, BACK_COVER, MAIN, REPAIR_COVER, RESULTS, Layout  # noqa: E402
from prepared_profiles import Profiles  # noqa: E402
from report import KB, Report, median, ms, sections  # noqa: E402
from bench_display import BenchDisplay, log  # noqa: E402
from wine_display import windows_path  # noqa: E402

MINIMAL_TITLE = "Minimal Window"
ACCOUNT = "effacer.moi@hotmail.fr"
THREE_ACCOUNTS = ["zoe.martin@hotmail.fr", "jose@live.fr", "camille.dupont@msn.com"]
MANY = 10000
MANY_ACCOUNTS = [f"compte{i:05d}@hotmail.fr" for i in range(MANY)]


class Bench:
    """What every measure works with: the display and prefix, the profiles, the
    programs and settings from the command line, and the report."""

    def __init__(self, args):
        self.args = args
        self.wine = None
        self.report = Report()
        self.profiles = None

    def start(self):
        self.wine = BenchDisplay(self.args.work)
        # The windows' titles and the places to click come from the program's own
        # layout tables, as in the end-to-end tests (the prefix is at 96 dots per inch).
        code, out, err = self.wine.run(self.args.probe, "layout", "96")
        if code != 0:
            sys.exit(f"the probe could not print the layout: {err.strip()[:200]}")
        layout = Layout(json.loads(out))
        self.main_title, self.results_title = layout.title(MAIN), layout.title(RESULTS)
        self.repair, self.back = layout.centre(MAIN, REPAIR_COVER), layout.centre(RESULTS, BACK_COVER)
        left, top, width, _ = layout.rect(MAIN, ACCOUNT_LIST)
        self.first_row = (left + width // 2, top + 8)
        self.profiles = Profiles(self.wine.prefix)
        self.profiles.prepare({"3": THREE_ACCOUNTS, "0": [], str(MANY): MANY_ACCOUNTS, "del": []})
        self.profiles.use("3")

    def figures(self, exe, *arguments):
        values, error = self.wine.figures(exe, *arguments)
        if error:
            self.report.notes.append(error)
        return values

    def start_program(self, name, memory=False, program=None):
        self.profiles.use(name)
        return self.wine.start_once(program or self.args.program, self.main_title, memory)


def alternate(runs, *sides):
    """Runs every side in turn, each run starting from the next side; returns
    one list of results per side."""
    results = [[] for _ in sides]
    for i in range(runs):
        for k in range(len(sides)):
            j = (i + k) % len(sides)
            results[j].append(sides[j]())
    return results


def log_runs(label, seconds):
    log(f"  {label} (s): " + " ".join(f"{s:.3f}" if s else "-" for s in seconds))


def warm_up(bench):
    # The first window of a prefix also starts Wine's desktop process; the
    # first 32-bit program reads 32-bit Wine from the disk.
    bench.wine.start_once(bench.args.minimal, MINIMAL_TITLE)
    bench.start_program("3")
    if bench.args.program_x86:
        bench.wine.start_once(bench.args.minimal_x86, MINIMAL_TITLE)
        bench.start_program("3", program=bench.args.program_x86)
    time.sleep(2)  # Wine's services, started by the first program, settle


# ---- the measures -------------------------------------------------------------------


def startup(bench):
    log("Start-up: Vardelune (3 accounts) against the minimal window and the least window...")
    # The least window: the minimal one with the program's icons and the main
    # window's windowed controls, which the main window cannot do without (the
    # two out of view made after its first painting, as the program makes them).
    exe = windows_path(bench.args.program)
    ours, ref, least = alternate(
        bench.args.startup_runs, lambda: bench.start_program("3", memory=True),
        lambda: bench.wine.start_once(bench.args.minimal, MINIMAL_TITLE, memory=True),
        lambda: bench.wine.start_once(bench.args.startup_bench, bench.main_title, False, "controls", exe))
    log_runs("ours", [run[0] for run in ours])
    log_runs("reference", [run[0] for run in ref])
    log_runs("least window", [run[0] for run in least])
    report = bench.report
    report_startup(report, "x64", ours, ref)
    report.compare("start-up x64, least window (minimal window, the program's icons, the main window's three "
                   "windowed controls in view) vs minimal window", [run[0] for run in least],
                   [run[0] for run in ref], "s")
    report.compare("start-up x64, window shown (3 accounts) vs least window", [run[0] for run in ours],
                   [run[0] for run in least], "s")

    ours_map = next((run[2] for run in reversed(ours) if run[2]), None)
    ref_map = next((run[2] for run in reversed(ref) if run[2]), None)
    if ours_map and ref_map:
        differences = sorted(((ours_map.get(k, 0) - ref_map.get(k, 0), k) for k in set(ours_map) | set(ref_map)),
                             reverse=True)
        report.table("Resident memory after showing, Vardelune minus the minimal window, largest differences "
                     f"(total {sum(ours_map.values()) - sum(ref_map.values())} kB):", ("Mapping", "Difference"),
                     [(name, f"{kb:+d} kB") for kb, name in differences[:8] if kb > 0])


def report_startup(report, build, ours, ref):
    """The rows of one build's start-up and memory against its own minimal window."""
    report.compare(f"start-up {build}, window shown (3 accounts) vs minimal window {build}", [run[0] for run in ours],
                   [run[0] for run in ref], "s", 1.15, "<= 1.15x")
    report.compare(f"peak memory (VmHWM) {build} after showing vs minimal window {build}", [run[1] for run in ours],
                   [run[1] for run in ref], "kB", 1.15, "<= 1.15x")
    report.compare_fastest(f"start-up {build} (3 accounts) vs minimal window {build}", [run[0] for run in ours],
                           [run[0] for run in ref])


def startup_x86(bench):
    """The 32-bit program against the 32-bit minimal window, both under 32-bit Wine."""
    if not (bench.args.program_x86 and bench.args.minimal_x86):
        return
    log("Start-up x86: Vardelune (3 accounts) against the minimal window, both 32-bit...")
    ours, ref = alternate(
        bench.args.startup_runs, lambda: bench.start_program("3", memory=True, program=bench.args.program_x86),
        lambda: bench.wine.start_once(bench.args.minimal_x86, MINIMAL_TITLE, memory=True))
    log_runs("ours", [run[0] for run in ours])
    log_runs("reference", [run[0] for run in ref])
    report_startup(bench.report, "x86", ours, ref)


def startup_steps(bench):
    log("Start-up, step by step: loader, OLE, window host, pictures, fonts, main window, first paint...")
    bench.profiles.use("3")
    exe = windows_path(bench.args.program)
    modes = {"program": ["program", exe], "ole": ["program", exe, "ole"],
             "ahead": ["program", exe, "none", "ahead"], "minimal": ["minimal"], "controls": ["controls", exe]}
    steps = {}
    for _ in range(bench.args.part_runs * 3):
        for mode, arguments in modes.items():
            for key, value in bench.figures(bench.args.startup_bench, *arguments).items():
                steps.setdefault((mode, key), []).append(value)
            time.sleep(0.3)
    # Fastest of the runs: these steps last tens of milliseconds, and other
    # work on the machine only ever makes them slower.
    labels = {"loader_ms": "Wine loader, process creation to entry point",
              "ole_ms": "OleInitialize (the program leaves it to the first handler that needs COM)",
              "host_ms": "window host (icons, window class; the first icon starts the display driver)",
              "pictures_ms": "all 13 pictures decoded ahead (our decoder, DIB sections and masks)",
              "fonts_ms": "the main window's fonts made and drawn once ahead", "window_ms": "main window created, loaded and shown",
              "paint_ms": "messages and first paint after showing"}
    fastest = {key: min(values) for key, values in steps.items()}
    bench.report.table(
        f"Start-up inside the process, step by step (fastest of {bench.args.part_runs * 3} runs; StartupBench "
        "carries the program's imports and code and is, like it, a program without a console; the second column "
        "starts OLE first, as the program did before it left OLE to the handlers; the third decodes all pictures "
        "and makes the main window's fonts ahead of the window; the fourth times a bare window in the same kind "
        "of process; the fifth the same bare window with the program's icons and the main "
        "window's windowed controls, those out of view made after the first painting, the least that the main "
        "window needs):",
        ("Step", "Vardelune", "OLE first", "pictures and fonts ahead", "bare window", "bare window, icons, controls"),
        [(label, *(ms(fastest.get((mode, key)), 1) for mode in modes)) for key, label in labels.items()])


def growth(bench):
    log(f"Growth: Vardelune with {MANY} accounts against 0 accounts...")
    many, none = alternate(bench.args.startup_runs, lambda: bench.start_program(str(MANY))[0],
                           lambda: bench.start_program("0")[0])
    log_runs(f"{MANY} accounts", many)
    log_runs("0 accounts", none)
    bench.report.compare(f"start-up with {MANY} accounts vs 0 accounts", many, none, "s", 1.5, "<= 1.5x")
    bench.report.compare_fastest(f"start-up with {MANY} vs 0 accounts", many, none)


def growth_steps(bench):
    log("Growth, step by step: the main window's step, enumeration and list fill...")
    exe = windows_path(bench.args.program)
    pattern = bench.profiles.windows_messenger + "\\*@*"
    runs = bench.args.part_runs
    window, enum = {}, {}
    for name in (str(MANY), "0"):
        bench.profiles.use(name)
        window[name] = min([bench.figures(bench.args.startup_bench, "program", exe).get("window_ms") or 0
                            for _ in range(runs * 3)])
        for mode in ("enum", "rawenum", "basicenum"):
            enum[(mode, name)] = median([bench.figures(bench.args.platform_bench, mode, pattern).get(mode + "_ms")
                                         for _ in range(runs)])
    # Into a list box that is already on screen (the refill after going
    # back from the results window) one item at a time costs about 10 ms
    # per item under Wine: that variant is timed on a tenth of the items.
    plans = [(MANY, ["hidden_plain", "hidden_noredraw", "hidden_initstorage", "hidden_both",
                     "shown_noredraw"]), (MANY // 10, ["shown_plain"])]
    fills = {}
    for _ in range(runs):
        for count, variants in plans:
            for key, value in bench.figures(bench.args.list_bench, str(count), *variants).items():
                fills.setdefault((key, count), []).append(value)
    names = {
        "hidden_plain_ms": "one LB_ADDSTRING per item, window not yet shown",
        "hidden_noredraw_ms": "same, WM_SETREDRAW FALSE around the fill",
        "hidden_initstorage_ms": "same, LB_INITSTORAGE first",
        "hidden_both_ms": "same, LB_INITSTORAGE and WM_SETREDRAW FALSE",
        "shown_plain_ms": "one LB_ADDSTRING per item, window already shown",
        "shown_noredraw_ms": "window already shown, WM_SETREDRAW FALSE around the fill",
    }
    rows = [
        (f"main window created, loaded and shown, {MANY} accounts (StartupBench, fastest of {runs * 3})",
         ms(window[str(MANY)], 1)),
        (f"main window created, loaded and shown, 0 accounts (StartupBench, fastest of {runs * 3})",
         ms(window["0"], 1)),
        (f"difference: what {MANY} accounts add inside the process", ms(window[str(MANY)] - window["0"], 1)),
        (f"enumeration of {MANY} accounts (FsEnumeration, mask 55)", ms(enum[("enum", str(MANY))])),
        (f"enumeration of {MANY} accounts, bare FindFirstFileW/FindNextFileW", ms(enum[("rawenum", str(MANY))])),
        (f"enumeration of {MANY} accounts, FindFirstFileExW without short names, large fetch",
         ms(enum[("basicenum", str(MANY))])),
        ("enumeration of 0 accounts", ms(enum[("enum", "0")], 1)),
    ] + [(f"list box fill, {count} items: {names.get(key, key)}", ms(median(values)))
         for (key, count), values in fills.items()]
    bench.report.table(f"Start-up growth, each step on its own (median of {runs} unless stated):",
                       ("Step", "Time"), rows)


def refill_after_back(bench, name, accounts):
    """Seconds from the click on the results window's back button until the
    main window takes events again: the list is cleared and filled anew
    while it is on screen."""
    wine, watcher = bench.wine, bench.wine.watcher
    bench.profiles.use(name)
    bench.profiles.add_accounts(accounts)
    process, window, _ = wine.launch(bench.args.program, bench.main_title)
    seconds = None
    if window is not None:
        wine.click_at(str(window), bench.first_row)
        time.sleep(0.3)
        wine.hover(str(window), bench.repair)
        wine.xdotool("click", "1")
        results = watcher.wait_shown(bench.results_title, 30)
        if results is None:
            bench.report.notes.append("the results window did not open before going back")
        else:
            time.sleep(0.5)
            asked = time.perf_counter()
            idle = watcher.ping(window, 10)
            log(f"  idle main window answers a ping in {1000 * (idle - asked):.1f} ms" if idle else
                "  idle main window does not answer pings")
            wine.hover(str(results[0]), bench.back)
            watcher.drain()
            start = time.perf_counter()
            wine.xdotool("click", "1")
            answered = watcher.ping(window, 600)
            if answered is not None:
                seconds = answered - start
    wine.end(process)
    bench.profiles.add_accounts(accounts, contacts=False)  # the cleaned account comes back for the next run
    return seconds


def refill(bench):
    log(f"Refill after going back: {MANY} accounts against 3 (one run each)...")
    ours = refill_after_back(bench, str(MANY), MANY_ACCOUNTS)
    reference = refill_after_back(bench, "3", THREE_ACCOUNTS)
    bench.profiles.remove_contacts(MANY_ACCOUNTS)
    bench.report.compare(f"refill after going back, {MANY} accounts vs 3 (one run)", ours, reference, "s")
    # Going back hides the results window first; what that alone costs here.
    hide = median([bench.figures(bench.args.startup_bench, "hide").get("hide_ms")
                   for _ in range(bench.args.part_runs)])
    if hide is not None:
        bench.report.paragraph(
            f"Hiding a shown bare top-level window (ShowWindow SW_HIDE, StartupBench hide, median of "
            f"{bench.args.part_runs}): {hide:.0f} ms; going back hides the results window before the list is "
            "refilled, so this is part of both refill figures.")


def delete_through_program(bench):
    wine, profiles = bench.wine, bench.profiles
    profiles.use("del")
    profiles.build_tree(ACCOUNT)
    messenger, contacts = profiles.account_folders(ACCOUNT)
    process, window, _ = wine.launch(bench.args.program, bench.main_title)
    if window is None:
        wine.end(process)
        return None
    wine.click_at(str(window), bench.first_row)
    time.sleep(0.3)
    wine.hover(str(window), bench.repair)
    wine.watcher.drain()
    start = time.perf_counter()
    wine.xdotool("click", "1")
    deadline = start + 300
    while (os.path.lexists(messenger) or os.path.lexists(contacts)) and time.perf_counter() < deadline:
        if process.poll() is not None:
            break
        time.sleep(0.002)
    seconds = time.perf_counter() - start
    gone = not os.path.lexists(messenger) and not os.path.lexists(contacts)
    results = wine.watcher.wait_shown(bench.results_title, 5)
    wine.end(process)
    if not gone:
        bench.report.notes.append("a deletion through the program did not remove both folders")
        return None
    if results is None:
        bench.report.notes.append("the results window was not seen during a deletion")
    return seconds


def timed_rm(folders):
    start = time.perf_counter()
    subprocess.run(["rm", "-rf", *folders], check=True)
    return time.perf_counter() - start


def delete_with_rm(bench):
    bench.profiles.use("del")
    bench.profiles.build_tree(ACCOUNT)
    return timed_rm(bench.profiles.account_folders(ACCOUNT))


def delete_with_win32(bench):
    """The same tree through a plain Win32 recursive delete (FindFirstFile,
    DeleteFile, RemoveDirectory) in the same Wine: the floor for a Windows
    program, timed inside the process so that its start-up is not counted."""
    bench.profiles.use("del")
    bench.profiles.build_tree(ACCOUNT)
    total = 0.0
    for folder in bench.profiles.account_folders(ACCOUNT):
        figures = bench.figures(bench.args.platform_bench, "win32", windows_path(folder))
        if "win32_ms" not in figures:
            return None
        total += figures["win32_ms"] / 1000
    return total


def deletion(bench):
    log("Deletion: Vardelune's cleanup against a plain Win32 delete and rm -rf of the same tree...")
    ours, win32, rm = alternate(bench.args.runs, lambda: delete_through_program(bench),
                                lambda: delete_with_win32(bench), lambda: delete_with_rm(bench))
    bench.report.compare("deletion of 20,000 files in 500 folders: click to both gone vs plain Win32 delete", ours,
                         win32, "s", 1.3, "<= 1.3x")
    bench.report.compare("deletion of 20,000 files in 500 folders: click to both gone vs rm -rf", ours, rm, "s")


def deletion_steps(bench):
    """Where the deletion time goes: each platform step on its own, on the
    same fresh tree, under the same Wine."""
    log("Deletion, step by step: examination, deletion, each check, plain Win32 delete...")
    profiles = bench.profiles
    profiles.use("del")
    path = profiles.windows_messenger + "\\" + ACCOUNT
    parts = {}
    for _ in range(bench.args.part_runs):
        for mode, prefix in (("remove", ""), ("checks", "checks_"), ("win32", "")):
            profiles.build_tree(ACCOUNT)
            for key, value in bench.figures(bench.args.platform_bench, mode, path).items():
                parts.setdefault(prefix + key, []).append(value)
        profiles.build_tree(ACCOUNT)
        parts.setdefault("rm_ms", []).append(1000 * timed_rm([profiles.account_folders(ACCOUNT)[0]]))
    profiles.remove_contacts([ACCOUNT])
    labels = {"examine_ms": "examination: every entry opened through its folder's handle, sharing nothing, and checked",
              "delete_ms": "deletion through the checked handles (the first 16,384 kept open), the rest opened again",
              "checks_list_ms": "of the examination, call by call: listing every folder through its handle",
              "checks_open_ms": "opening every entry through its folder's handle, sharing nothing",
              "checks_tag_ms": "link attribute on the handle (FileAttributeTagInformation)",
              "checks_id_ms": "identity: the id on the handle (FileInternalInformation)",
              "checks_name_ms": "real name (NtQueryObject, one request to Wine's server)",
              "checks_device_ms": "files only: on a storage device, not a pipe or a device (FileFsDeviceInformation)",
              "checks_close_ms": "closing every handle",
              "win32_ms": "plain Win32 recursive delete, same Wine", "rm_ms": "rm -rf"}
    bench.report.table("Deletion of the Messenger folder alone (20,000 files, 500 folders), each step on its own "
                       f"(median of {bench.args.part_runs}):", ("Step", "Time"),
                       [(label, ms(median(parts.get(key, [])))) for key, label in labels.items()])


def executables(bench):
    args, report = bench.args, bench.report
    listed = []
    for label, exe, ref in (("x64", args.program, args.minimal), ("x86", args.program_x86, args.minimal_x86)):
        size = os.path.getsize(exe) if exe and os.path.exists(exe) else None
        ref_size = os.path.getsize(ref) if ref and os.path.exists(ref) else None
        report.compare(f"executable size, {label} vs minimal window", size, ref_size, "B", 512 * KB, "<= 512 KB",
                       absolute=size)
        if size:
            parts = ", ".join(f"{name} {value / KB:.0f} KB" for name, value in sections(exe).items() if value)
            listed.append(f"- Vardelune.exe {label}: {size / KB:.0f} KB: {parts}")
    if listed:
        report.details += ["Executable sections (bytes in the file):", ""] + listed + [""]


# In the order they run and report; the file-heavy deletions come last: the
# disk's write-back after them would slow down the start-ups measured after them.
MEASURES = {"startup": startup, "startup-x86": startup_x86, "growth": growth, "startup-steps": startup_steps,
            "growth-steps": growth_steps, "refill": refill, "deletion": deletion, "deletion-steps": deletion_steps}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--minimal", required=True)
    parser.add_argument("--platform-bench", required=True)
    parser.add_argument("--list-bench", required=True)
    parser.add_argument("--startup-bench", required=True)
    parser.add_argument("--probe", required=True, help="the end-to-end tests' probe, which prints the layout")
    parser.add_argument("--program-x86")
    parser.add_argument("--minimal-x86")
    parser.add_argument("--work", default=f"/tmp/vardelune-bench-{os.getuid()}")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--startup-runs", type=int, default=15)
    parser.add_argument("--part-runs", type=int, default=3)
    parser.add_argument("--results", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "RESULTS.md"))
    parser.add_argument("--only", default=",".join(MEASURES), help="any of: " + ", ".join(MEASURES))
    args = parser.parse_args()
    only = set(args.only.split(","))

    bench = Bench(args)
    load_before = os.getloadavg()[0]
    try:
        bench.start()
        warm_up(bench)
        for name, measure in MEASURES.items():
            if name in only:
                measure(bench)
    finally:
        if bench.wine:
            bench.wine.close()
    executables(bench)
    bench.report.write(args.results, args, load_before, os.getloadavg()[0])


if __name__ == "__main__":
    main()
