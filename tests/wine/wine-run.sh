#!/bin/bash
# Runs a Windows program under 64-bit Wine in the tests' own prefix, creating
# the prefix on first use (about 8 s; later starts take well under a second).
# VARDELUNE_WINEPREFIX chooses the prefix; concurrent first uses wait for one another.
set -eu
: "${VARDELUNE_WINEPREFIX:=/tmp/vardelune-wine-$(id -u)}"
export WINEPREFIX="$VARDELUNE_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.vardelune-ready" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        touch "$WINEPREFIX/.vardelune-ready"
    fi
) 9>"$WINEPREFIX.lock"
exec "$WINE" "$@"
