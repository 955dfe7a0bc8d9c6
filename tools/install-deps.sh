#!/bin/bash
# Installs the Debian packages that the build, the demo, the package and the tests need,
# only those that are missing. Usage: tools/install-deps.sh [build|demo|package|test]
set -eu
build=(cmake ninja-build g++ mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64)
# Wine has no fonts of its own: without fonts-wine ("MS Sans Serif", Tahoma) and
# fonts-liberation (metric-compatible Arial) texts fall back to a wider font and wrap.
demo=(wine wine64 xvfb xdotool imagemagick x11-utils fonts-wine fonts-liberation)
test=(libgtest-dev googletest python3 python3-pil fonts-dejavu-core zip)
case "${1:-test}" in
    build) wanted=("${build[@]}") ;;
    package) wanted=("${build[@]}" python3 zip) ;;
    demo) wanted=("${build[@]}" "${demo[@]}") ;;
    *) wanted=("${build[@]}" "${demo[@]}" "${test[@]}") ;;
esac
missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
