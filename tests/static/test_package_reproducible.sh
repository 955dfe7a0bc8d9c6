#!/bin/bash
# The release package of one commit, built from two clones in different
# folders, must be byte-identical: the same dist/SHA256SUMS, the same zips.
# Usage: test_package_reproducible.sh REPOSITORY
set -eu
repository=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for clone in first "second folder"; do
    git clone -q "$repository" "$work/$clone"
    (cd "$work/$clone" && tools/package.sh >"$work/$clone.log" 2>&1) || { cat "$work/$clone.log"; exit 1; }
done
cat "$work/first/dist/SHA256SUMS"
if ! cmp "$work/first/dist/SHA256SUMS" "$work/second folder/dist/SHA256SUMS"; then
    cat "$work/second folder/dist/SHA256SUMS"
    echo "the two builds differ" >&2
    exit 1
fi
[ "$(wc -l <"$work/first/dist/SHA256SUMS")" -eq 2 ] || { echo "expected two zips" >&2; exit 1; }
