# Turns the benchmarks' figures into bench/RESULTS.md: one table of the
# comparisons against their references, then the step tables that explain them.
import datetime
import os
import platform
import statistics
import subprocess

from wine_display import WINE

KB = 1024


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def ratio_of_pairs(ours, reference):
    return median([a / b for a, b in zip(ours, reference) if a and b])


def fmt(value, unit):
    if value is None:
        return "n/a"
    if unit == "s":
        return f"{value * 1000:.0f} ms"
    if unit == "B":
        return f"{value / KB:.0f} KB" if value >= KB else f"{value} B"
    if unit == "kB":
        return f"{value / 1024:.1f} MB"
    return str(value)


def ms(value, digits=0):
    return f"{value:.{digits}f} ms" if value is not None else "-"


def sections(exe):
    """Section name -> size in the file, from objdump's header table."""
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", exe], capture_output=True, text=True).stdout
    table = {}
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 7 and fields[0].isdigit():
            table[fields[1]] = int(fields[2], 16)
    return table


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
    return f"{os.cpu_count()} CPUs, {cpu}, {wine}, Linux {platform.release()}"


class Report:
    def __init__(self):
        self.rows = []  # measure, ours, reference, ratio, goal text, verdict
        self.fastest = []
        self.details = []
        self.notes = []

    def compare(self, measure, ours, ref, unit, goal=None, goal_text="(none)", absolute=None):
        """One row: lists of runs give medians and the median per-run ratio;
        single values their own ratio. `absolute` is checked instead of the
        ratio when the goal is a size."""
        if isinstance(ours, list):
            ratio = ratio_of_pairs(ours, ref)
            ours, ref = median(ours), median(ref)
        else:
            ratio = ours / ref if ours and ref else None
        checked = absolute if absolute is not None else ratio
        if goal is None:
            verdict = "(no goal)"
        else:
            verdict = "n/a" if checked is None else "met" if checked <= goal else "missed"
        self.rows.append((measure, fmt(ours, unit), fmt(ref, unit), f"{ratio:.2f}" if ratio else "n/a", goal_text,
                          verdict))

    def compare_fastest(self, label, ours, ref):
        ours, ref = [v for v in ours if v], [v for v in ref if v]
        if ours and ref:
            self.fastest.append(f"- {label}: {min(ours) * 1000:.0f} ms vs {min(ref) * 1000:.0f} ms, "
                                f"ratio {min(ours) / min(ref):.2f}")

    def paragraph(self, text):
        self.details += [text, ""]

    def table(self, title, header, rows):
        self.details += [title, "", "| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
        self.details += ["| " + " | ".join(row) + " |" for row in rows]
        self.details.append("")

    def main_table(self):
        header = ("Measure", "Ours", "Reference", "Ratio", "Goal", "Verdict")
        return ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)] + \
            ["| " + " | ".join(row) + " |" for row in self.rows]

    def write(self, path, settings, load_before, load_after):
        now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
        fastest = ["The fastest run of each side, less disturbed by other work on the machine:", ""] + \
            self.fastest + [""] if self.fastest else []
        notes = ["Notes: " + "; ".join(sorted(set(self.notes))), ""] if self.notes else []
        text = "\n".join([
            "<!-- The latest benchmark figures, written by bench/run.sh (bench/bench.py); do not edit by hand. -->",
            "# Benchmark results",
            "",
            f"Latest run: {now}; {machine()}. Command: `bench/run.sh`.",
            f"Each comparison alternates its sides, {settings.startup_runs} runs each for start-up and growth, "
            f"{settings.runs} for deletion; times are medians, the ratio is the "
            "median of the per-run ratios. Start-up runs from the start of the Wine process to the map of the "
            "window on the X display (Xvfb, no window manager). The refill runs from the click on the results "
            "window's back button until the main window answers a _NET_WM_PING, which Wine answers from the "
            "program's message loop.",
            f"Load average (1 min) at the start and the end of the run: {load_before:.2f}, {load_after:.2f} "
            "(other work on the machine widens the spread of the runs).",
            "",
            *self.main_table(),
            "",
            *fastest,
            *self.details,
            *notes,
        ])
        print()
        print(text)
        with open(path, "w") as f:
            f.write(text)
        print(f"Written to {path}", flush=True)
