#!/usr/bin/env bash
# Prepares what the Windows cross build needs, skipping every step whose result is there:
#   - Debian's MinGW-w64 compiler (posix threads), Wine and the tools below (apt);
#   - SQLite from Debian's own sqlite3 source package, fetched through a private sources
#     list (scripts/lib/debian-source.sh) so that the machine's apt configuration stays
#     untouched, turned into the single-file form and cross-compiled into a static library;
#   - GoogleTest from Debian's googletest sources (/usr/src/googletest), cross-built;
#   - MeCab, cross-built once per machine by scripts/mecab-windows.sh, and Debian's IPADIC
#     (mecab-ipadic-utf8), which the Windows programs carry beside them.
# Everything lands under DEPS (default: build/windows/deps), as a prefix for CMake.
#
# usage: scripts/cross-deps.sh [DEPS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=$(mkdir -p "${1:-$root/build/windows/deps}" && cd "${1:-$root/build/windows/deps}" && pwd)
prefix=$deps/prefix
toolchain=$root/cmake/toolchain-mingw64.cmake
jobs=${QVBOOK_JOBS:-2}
. "$root/scripts/lib/apt-install.sh"
. "$root/scripts/lib/debian-source.sh"

log() { echo "cross-deps: $*"; }

build_sqlite() {
  [ -f "$prefix/lib/libsqlite3.a" ] && [ -f "$prefix/include/sqlite3.h" ] && return 0
  local work=$deps/sqlite
  fetch_debian_source sqlite3 "$work"
  if [ ! -f "$work/amalgamation/sqlite3.c" ]; then
    log "generating sqlite3.c"
    rm -rf "$work/amalgamation" && mkdir -p "$work/amalgamation"
    (cd "$work/amalgamation" && "$work/src/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  fi
  log "cross-compiling SQLite"
  mkdir -p "$prefix/lib" "$prefix/include"
  x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
    -c "$work/amalgamation/sqlite3.c" -o "$work/sqlite3.o"
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
  cp "$work/amalgamation/sqlite3.h" "$work/amalgamation/sqlite3ext.h" "$prefix/include/"
}

build_googletest() {
  [ -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  log "cross-building GoogleTest from /usr/src/googletest"
  cmake -S /usr/src/googletest -B "$deps/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps/googletest-build" -j"$jobs" >/dev/null
  cmake --install "$deps/googletest-build" >/dev/null
}

build_mecab() {
  [ -f "$prefix/lib/libmecab.a" ] && [ -f "$prefix/include/mecab.h" ] && return 0
  local cached
  cached=$("$root/scripts/mecab-windows.sh" | tail -n 1)
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$cached/lib/libmecab.a" "$prefix/lib/"
  cp "$cached/include/mecab.h" "$prefix/include/"
}

install_missing_packages g++-mingw-w64-x86-64-posix wine64 dpkg-dev tcl cmake make googletest \
  mecab-ipadic-utf8
build_sqlite
build_googletest
build_mecab
log "ready in $prefix"
