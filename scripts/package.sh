#!/usr/bin/env bash
# Builds the Debian package qvbook_<version>_<arch>.deb into ./build-deb (or
# $QVBOOK_PACKAGE_DIR) with Debian's hardening flags, then checks it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${QVBOOK_PACKAGE_DIR:-$root/build-deb}
"$root/scripts/install-deps.sh"

# Debian's compiler and linker flags (CMake does not read CPPFLAGS, so it joins CXXFLAGS).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"

cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DQVBOOK_TESTS=OFF -DQVBOOK_BENCH=OFF > /dev/null
cmake --build "$out" -j"$(nproc)"
(cd "$out" && cpack -G DEB > /dev/null)
deb=$(ls "$out"/qvbook_*.deb)
"$root/scripts/check-package.sh" "$deb"
echo "$deb"
