#!/bin/bash
# Builds everything and runs every test through ctest: the two Windows builds
# (64-bit and 32-bit), then the Linux host build whose ctest runs the unit
# tests, the resource checks, and the Wine tests of both programs (the 32-bit
# one under 32-bit Wine, which tools/install-deps.sh installs). Two tests run
# at a time: each Wine test has its own X display and Wine prefix, and much of
# their time is spent waiting on windows. ctest arguments (-R, -LE e2e, -j1) follow.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh test
for preset in windows-x64 windows-x86 host; do
    cmake --preset "$preset" -DBUILD_TESTING=ON >/dev/null
    cmake --build --preset "$preset"
done
ctest --preset host -j2 "$@"
