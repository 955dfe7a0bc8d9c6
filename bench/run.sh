#!/bin/bash
# Runs every benchmark of Vardelune under Wine in a private Xvfb and writes the
# figures to bench/RESULTS.md, after installing what it needs and building.
# Usage: bench/run.sh [--runs N] [--startup-runs N] [--only NAME,...] (see bench.py)
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh bench
for preset in windows-x64 windows-x86; do
    cmake --preset "$preset" -DVARDELUNE_BENCHMARKS=ON >/dev/null
done
cmake --build --preset windows-x64 --target Vardelune MinimalWindow PlatformBench StartupBench ListFillBench Probe
# The 32-bit program's start-up and memory, against the 32-bit minimal window.
cmake --build --preset windows-x86 --target Vardelune MinimalWindow

x64=build/windows-x64
x86=build/windows-x86
# Ahead of other work on the machine (its Xvfb, wineserver and programs
# inherit the priority), so that the runs of the two sides spread less.
exec nice -n -10 /usr/bin/python3 bench/bench.py \
    --program "$x64/host/Vardelune.exe" --minimal "$x64/bench/MinimalWindow.exe" \
    --platform-bench "$x64/bench/PlatformBench.exe" --list-bench "$x64/bench/ListFillBench.exe" \
    --startup-bench "$x64/bench/StartupBench.exe" --probe "$x64/tests/e2e/probe/Probe.exe" \
    --program-x86 "$x86/host/Vardelune.exe" --minimal-x86 "$x86/bench/MinimalWindow.exe" "$@"
