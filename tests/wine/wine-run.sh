#!/bin/bash
# Runs a Windows program under Wine in the tests' own prefix, creating the
# prefix on first use (about 8 s; later starts take well under a second).
# VARDELUNE_WINEPREFIX chooses the prefix, VARDELUNE_WINE the loader of the
# program's bitness (/usr/lib/wine/wine for a 32-bit program; the 64-bit one
# by default); the prefix is a 64-bit one either way. Concurrent first uses
# wait for one another.
set -eu
: "${VARDELUNE_WINEPREFIX:=/tmp/vardelune-wine-$(id -u)}"
export WINEPREFIX="$VARDELUNE_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.vardelune-ready" ]; then
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        touch "$WINEPREFIX/.vardelune-ready"
    elif [ -x /usr/lib/wine/wine ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        # Made before 32-bit Wine was installed: without its 32-bit half.
        "$WINE64" wineboot -u >/dev/null 2>&1 || true
        wineserver -w
    fi
) 9>"$WINEPREFIX.lock"
exec "${VARDELUNE_WINE:-$WINE64}" "$@"
