#!/bin/bash
# Adds to a Wine prefix the links that Windows Vista and later keep for older
# programs and Wine 8 does not make: "Local Settings" to AppData\Local, and
# "Application Data" inside it back to itself, so that programs written for
# Windows XP (Vardelune among them) find the data that Messenger keeps under
# AppData\Local; and Local Settings\Temp to the prefix's temporary folder,
# which Wine keeps at C:\users\NAME\Temp. Nothing already there is touched:
# a second run changes nothing.
# Usage: tools/wine-links.sh [PREFIX]   (default: $WINEPREFIX, else ~/.wine)
set -eu
prefix=${1:-${WINEPREFIX:-$HOME/.wine}}
profile="$prefix/drive_c/users/${USER:-$(id -un)}"
if [ ! -d "$profile" ]; then
    echo "no Wine profile folder at $profile: start a program once with WINEPREFIX=$prefix" >&2
    exit 1
fi

# link TARGET NAME: NAME becomes a relative link to TARGET, unless something is at NAME.
link() {
    if [ -e "$2" ] || [ -L "$2" ]; then return; fi
    ln -s "$1" "$2"
    echo "added: ${2#"$profile"/} -> $1"
}

mkdir -p "$profile/AppData/Local"
link AppData/Local "$profile/Local Settings"
link . "$profile/AppData/Local/Application Data"
if [ -d "$profile/Temp" ]; then link ../../Temp "$profile/AppData/Local/Temp"; fi
