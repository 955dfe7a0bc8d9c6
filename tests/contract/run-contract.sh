#!/bin/bash
# Runs one group of the contract tests under Wine. It prepares the fixture
# root with the symbolic links that Win32 cannot make under Wine, and removes
# the root afterwards with rm, which never follows a link (Wine's deletions do).
# Usage: run-contract.sh WINE_RUN EXE ROOT [--display] [test arguments...]
# --display runs the tests on a private Xvfb and ends the Wine prefix after.
set -eu
wine_run=$1 exe=$2 root=$3
shift 3
display=no
if [ "${1:-}" = --display ]; then
    display=yes
    shift
fi
if [ ! -f "$exe" ]; then
    echo "missing $exe: build its Windows preset first" >&2
    exit 1
fi

rm -rf "$root"
links=$root/links
mkdir -p "$links/target" "$links/holds-link/a/b/c" "$links/holds-loop/sub"
echo precious >"$links/target/precious.txt"
ln -s target "$links/folder-is-link"
ln -s ../../../../target "$links/holds-link/a/b/c/link"
ln -s .. "$links/holds-loop/sub/loop"
mkdir -p "$links/holds-file-link/x" "$links/target/inner"
ln -s "$links/target/precious.txt" "$links/holds-file-link/x/copy.txt"
echo plain >"$links/target/inner/plain.txt"
deep="$links/holds-deep-link/$(printf 'level-%02d/' $(seq 1 40))"
mkdir -p "$deep"
ln -s "$links/target" "$deep/link"
# An entry that Wine lists but cannot open: its real place cannot be read.
mkdir -p "$links/holds-socket"
/usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$links/holds-socket/wire"
# Entries that are neither files nor folders, and a name that Windows would
# read without its trailing space.
mkdir -p "$links/holds-fifo" "$links/holds-device" "$links/holds-trailing-space"
mkfifo "$links/holds-fifo/pipe"
mknod "$links/holds-device/null" c 1 3
echo plain >"$links/holds-trailing-space/name "
# An account whose link differs from the neighbour account's file in case only.
mkdir -p "$links/case/a@b.fr" "$links/case/A@B.FR"
echo neighbour >"$links/case/A@B.FR/keep.dat"
ln -s ../A@B.FR/keep.dat "$links/case/a@b.fr/KEEP.DAT"
# The swap of a subfolder for a link once the deletion has started, on the test's signal.
swap=$root/swap
mkdir -p "$swap/acct@live.fr/sub" "$swap/acct@live.fr/other"
for i in 0 1 2 3 4 5 6 7; do echo "$i" >"$swap/acct@live.fr/sub/f$i.dat"; echo "$i" >"$swap/acct@live.fr/other/g$i.dat"; done
(
    for _ in $(seq 3000); do
        if [ -e "$swap/swap-now" ]; then
            mv "$swap/acct@live.fr/sub" "$swap/moved" && ln -s "$links/target" "$swap/acct@live.fr/sub"
            touch "$swap/swapped"
            break
        fi
        sleep 0.01
    done
) &
swapper_pid=$!

finish() {
    if [ "$display" = yes ]; then
        WINEPREFIX="${VARDELUNE_WINEPREFIX:-/tmp/vardelune-wine-$(id -u)}" wineserver -k 2>/dev/null || true
    fi
    kill "$swapper_pid" 2>/dev/null || true
    # Keep the evidence when a link's target was deleted.
    if [ -f "$links/target/precious.txt" ]; then rm -rf "$root"; fi
}
trap finish EXIT

export VARDELUNE_CONTRACT_ROOT="Z:${root//\//\\}"
status=0
if [ "$display" = yes ]; then
    # On a private X display of its own, so that parallel groups never share one.
    /usr/bin/python3 "$(dirname "$0")/../../tools/wine_display.py" -- "$wine_run" "$exe" "$@" || status=$?
else
    "$wine_run" "$exe" "$@" || status=$?
fi
if [ ! -f "$links/target/precious.txt" ]; then
    echo "a test deleted the target of a link" >&2
    status=1
fi
exit $status
