#!/bin/bash
# Installs the Debian packages that the build, the demo, the package and the tests need,
# only those that are missing. Usage: tools/install-deps.sh [build|demo|package|bench|test]
set -eu
build=(cmake ninja-build g++ mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64)
# Wine has no fonts of its own: without fonts-wine ("MS Sans Serif", Tahoma) and
# fonts-liberation (metric-compatible Arial) texts fall back to a wider font and wrap.
demo=(wine wine64 xvfb xdotool imagemagick x11-utils fonts-wine fonts-liberation)
# The 32-bit program runs under 32-bit Wine, Debian's i386 package, for which the
# machine takes the i386 architecture: the tests and the benchmarks run it, the demo does not.
wine32=(wine32:i386)
test=(libgtest-dev googletest python3 python3-pil fonts-dejavu-core zip "${wine32[@]}")
case "${1:-test}" in
    build) wanted=("${build[@]}") ;;
    package) wanted=("${build[@]}" python3 zip) ;;
    demo) wanted=("${build[@]}" "${demo[@]}") ;;
    bench) wanted=("${build[@]}" "${demo[@]}" "${wine32[@]}") ;;
    *) wanted=("${build[@]}" "${demo[@]}" "${test[@]}") ;;
esac
if [[ " ${wanted[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    # apt then upgrades the installed amd64 packages that have an i386 twin to
    # the twin's version, as multiarch requires.
    echo "Adding the i386 architecture for 32-bit Wine"
    dpkg --add-architecture i386
fi
missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
