#!/bin/bash
# Builds the release package: dist/Vardelune-<version>-<arch>.zip for each
# architecture, holding Vardelune.exe, the French LISEZMOI.txt and
# wine-links.sh for users under Wine, and
# dist/SHA256SUMS. The build is reproducible: every time stamp (the
# executable's, the zip entries') is the last commit's, so that two builds of
# one commit, wherever they are made, give the same bytes.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh package
version=$(sed -n 's/^#define VARDELUNE_VERSION_TEXT "\(.*\)"$/\1/p' resources/version.h)
# The linker writes this time into the executable's header.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 0)
export SOURCE_DATE_EPOCH TZ=UTC
stamp=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y%m%d%H%M.%S)
rm -rf dist && mkdir -p dist
for arch in x64 x86; do
    # A build folder of its own, configured afresh, so that nothing of another
    # configuration (the tests') or another time stamp is reused.
    build=build/package-$arch
    rm -rf "$build"
    cmake --preset "windows-$arch" -B "$build" -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" --target Vardelune
    # No release whose program would not load on the oldest Windows it is made for.
    python3 tools/check_windows_imports.py tools/windows-imports.tsv "$arch=$build/host/Vardelune.exe"
    stage=$(mktemp -d)
    cp "$build/host/Vardelune.exe" "$stage/"
    # Notepad on every Windows reads UTF-8 with a byte order mark and CR LF.
    { printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/; s/\$/\r/" tools/release/LISEZMOI.txt; } >"$stage/LISEZMOI.txt"
    cp tools/wine-links.sh "$stage/"
    chmod 755 "$stage/Vardelune.exe" "$stage/wine-links.sh"
    chmod 644 "$stage/LISEZMOI.txt"
    touch -t "$stamp" "$stage/Vardelune.exe" "$stage/LISEZMOI.txt" "$stage/wine-links.sh"
    # -X: no extra attributes (owner, Unix times); -D: no folder entries.
    (cd "$stage" && zip -q -X -D "$OLDPWD/dist/Vardelune-$version-$arch.zip" Vardelune.exe LISEZMOI.txt wine-links.sh)
    rm -rf "$stage"
done
(cd dist && sha256sum -- *.zip >SHA256SUMS)
ls -l dist
cat dist/SHA256SUMS
