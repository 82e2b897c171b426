#!/usr/bin/env bash
# Builds Qt's base module for Windows from Debian's own qt6-base source package: static,
# MinGW-w64 (posix threads), with only what the editor and its tests use (Core, Gui,
# Widgets, Test; the windows and offscreen platform plugins). The source version is the
# one of the installed qt6-base-dev, so that moc, uic and rcc come from Debian's host
# tools (-qt-host-path /usr).
#
# The result is kept outside the checkout, once per machine, in
#   ${XDG_CACHE_HOME:-~/.cache}/qvbook/qt-<Qt version>-<hash of the Debian version and options>
# and everything is skipped when that install is complete. A cold build takes about 40
# minutes of processor time and 2.7 GB of disk at its peak (README, "Building for Windows").
#
# usage: scripts/qt-windows.sh            build when missing; prints the prefix last
#        scripts/qt-windows.sh --where    prints the prefix; exit 1 when it is not built
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${QVBOOK_JOBS:-2}
. "$root/scripts/lib/apt-install.sh"
. "$root/scripts/lib/debian-source.sh"
. "$root/scripts/lib/cached-build.sh"

log() { echo "qt-windows: $*" >&2; }

# What the build may leave out: OpenGL, D-Bus, SQL, networking, printing, XML, Concurrent,
# JPEG and ICU (Windows converts text itself). Direct2D stays: Qt's DirectWrite text
# rendering is built only with it. Debian's source lacks the tablet header, hence no
# tablet events.
options=(-xplatform win32-g++ -static -release -nomake examples -nomake tests
         -no-opengl -no-dbus -no-icu -no-zstd -no-libjpeg
         -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-xml
         -no-feature-concurrent -no-feature-tabletevent
         -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz -qt-freetype)

if ! dpkg-query -W -f='${Status}' qt6-base-dev 2>/dev/null | grep -q 'install ok installed'; then
  [ "${1:-}" = --where ] && { log "qt6-base-dev is not installed"; exit 1; }
  install_missing_packages qt6-base-dev >&2
fi
debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)  # e.g. 6.4.2+dfsg-10
qt_version=${debian_version#*:}
qt_version=${qt_version%%[+~-]*}
key=$(printf '%s\n' "$debian_version" "${options[@]}" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/qvbook
prefix=$cache/qt-$qt_version-$key
work=$prefix.work  # source and build folder, removed once the install is complete

# One build at a time: a second run waits here and then finds the build complete.
claim_cached_build "$prefix" "${1:-}"

# Runs one step with its output in $work/STEP.log; when it fails, shows the log's end.
step() {
  local name=$1
  shift
  "$@" > "$work/$name.log" 2>&1 && return 0
  log "$name failed; see $work/$name.log"
  tail -n 30 "$work/$name.log" >&2
  exit 1
}

started=$SECONDS
install_missing_packages qt6-base-dev-tools g++-mingw-w64-x86-64-posix ninja-build cmake \
  dpkg-dev >&2
fetch_debian_source "qt6-base=$debian_version" "$work" >&2

# Qt records the toolchain file it was configured with; a copy inside the install keeps
# the installed qt-cmake working when the checkout moves.
rm -rf "$prefix"
mkdir -p "$prefix/share/qvbook" "$work/build"
cp "$root/cmake/toolchain-mingw64.cmake" "$prefix/share/qvbook/"
host_cmake_dir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake
if [ ! -f "$work/build/build.ninja" ]; then
  log "configuring Qt $qt_version for Windows into $prefix"
  step configure env -C "$work/build" "$work/src/configure" -prefix "$prefix" -qt-host-path /usr \
    "${options[@]}" -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/share/qvbook/toolchain-mingw64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir"
fi
log "building Qt ($jobs jobs, niced; about 25 minutes on two idle cores)"
step build nice -n 10 cmake --build "$work/build" --parallel "$jobs"
step install cmake --install "$work/build"
touch "$prefix/.complete"
log "built in $(( (SECONDS - started) / 60 )) min; work folder $(du -sh "$work" | cut -f1)," \
    "install $(du -sh "$prefix" | cut -f1)"
[ -n "${QVBOOK_QT_KEEP_WORK:-}" ] || rm -rf "$work"
echo "$prefix"
