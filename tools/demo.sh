#!/bin/bash
# Builds the 64-bit program and starts it under Wine in a stock prefix, given
# the links of tools/wine-links.sh, with three Messenger accounts where
# Messenger under Wine keeps them (AppData\Local). Without a display it runs in
# a virtual one and saves a screenshot to build/demo.png instead.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh demo
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target Vardelune

export WINEPREFIX=/tmp/vardelune-demo/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
if [ ! -d "$WINEPREFIX/drive_c/users" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (about 10 s)..."
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
tools/wine-links.sh "$WINEPREFIX"
data="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/Microsoft"
for account in zoe.martin@hotmail.fr jose@live.fr "camille.dupont@msn.com"; do
    mkdir -p "$data/Messenger/$account/ObjectStore" "$data/Windows Live Contacts/$account/DBStore"
    echo "sample" >"$data/Messenger/$account/ObjectStore/settings.dat"
done

exe="Z:$(pwd)/build/windows-x64/host/Vardelune.exe"
if [ -n "${DISPLAY:-}" ]; then
    echo "Sample accounts in: $data"
    exec "$wine" "${exe//\//\\}"
fi
trap 'wineserver -k 2>/dev/null || true' EXIT
tools/wine_display.py --screen 1024x768 --screenshot build/demo.png --title "Vardelune Messenger" -- \
    "$wine" "${exe//\//\\}"
echo "No display: the program ran in a virtual one; its screen is in build/demo.png"
