#!/bin/bash
# Builds the release package: dist/Vardelune-<version>-<arch>.zip for each
# architecture, holding Vardelune.exe and the French LISEZMOI.txt.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh package
version=$(sed -n 's/^#define VARDELUNE_VERSION_TEXT "\(.*\)"$/\1/p' resources/version.h)
rm -rf dist && mkdir -p dist
for arch in x64 x86; do
    cmake --preset "windows-$arch" >/dev/null
    cmake --build --preset "windows-$arch" --target Vardelune
    stage=$(mktemp -d)
    cp "build/windows-$arch/platform/Vardelune.exe" "$stage/"
    # Notepad on every Windows reads UTF-8 with a byte order mark and CR LF.
    { printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/; s/\$/\r/" tools/release/LISEZMOI.txt; } >"$stage/LISEZMOI.txt"
    (cd "$stage" && zip -q -X "$OLDPWD/dist/Vardelune-$version-$arch.zip" Vardelune.exe LISEZMOI.txt)
    rm -rf "$stage"
done
ls -l dist
