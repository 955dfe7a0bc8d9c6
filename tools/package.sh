#!/bin/bash
# Builds the release package: dist/Vardelune-<version>-<arch>.zip for each
# architecture, holding Vardelune.exe, the French LISEZMOI.txt and
# wine-links.sh for users under Wine, and
# dist/SHA256SUMS. The build is reproducible: every time stamp (the
# executable's, the zip entries') is SOURCE_DATE_EPOCH when the packager sets
# it, else the last commit's, so that two builds of one commit, wherever they
# are made, give the same bytes. A release is what its commit is: a checkout
# with uncommitted changes is refused unless --allow-uncommitted is given.
# Usage: tools/package.sh [--allow-uncommitted]
set -eu
allow_uncommitted=
case "${1:-}" in
    "") ;;
    --allow-uncommitted) allow_uncommitted=1 ;;
    *) echo "usage: tools/package.sh [--allow-uncommitted]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
# Only this tree's own history counts: a source tree unpacked inside another
# checkout must not take that one's commit time.
in_git=
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then in_git=1; fi

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    case "$SOURCE_DATE_EPOCH" in
        *[!0-9]*) echo "SOURCE_DATE_EPOCH must be a number of seconds since 1970, not '$SOURCE_DATE_EPOCH'" >&2; exit 1 ;;
    esac
    echo "Dated from SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, as given"
elif [ -n "$in_git" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    echo "Dated from the last commit: SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
else
    echo "No git history here to date the release from: set SOURCE_DATE_EPOCH to the time of the commit" >&2
    echo "these sources come from (git log -1 --format=%ct in its checkout), for example:" >&2
    echo "    SOURCE_DATE_EPOCH=1700000000 tools/package.sh" >&2
    exit 1
fi
uncommitted=
if [ -n "$in_git" ]; then
    uncommitted=$(git status --porcelain)
fi
if [ -n "$uncommitted" ]; then
    echo "Changes that no commit holds:" >&2
    echo "$uncommitted" >&2
    if [ -z "$allow_uncommitted" ]; then
        echo "Commit them first, or package them anyway with --allow-uncommitted." >&2
        exit 1
    fi
    echo "WARNING: packaged with the uncommitted changes above (--allow-uncommitted)."
fi

tools/install-deps.sh package
version=$(sed -n 's/^#define VARDELUNE_VERSION_TEXT "\(.*\)"$/\1/p' resources/version.h)
# The linker writes this time into the executable's header.
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
    { printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/g; s/\$/\r/" tools/release/LISEZMOI.txt; } >"$stage/LISEZMOI.txt"
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
if [ -n "$uncommitted" ]; then
    echo "WARNING: this package holds changes that no commit has (--allow-uncommitted)."
fi
