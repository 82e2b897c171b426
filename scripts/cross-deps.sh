#!/usr/bin/env bash
# Prepares what the Windows cross build needs, skipping every step whose result is there:
#   - Debian's MinGW-w64 compiler (posix threads), Wine and the tools below (apt);
#   - SQLite from Debian's own sqlite3 source package, fetched through a private sources
#     list so that the machine's apt configuration stays untouched, turned into the
#     single-file form and cross-compiled into a static library;
#   - GoogleTest from Debian's googletest sources (/usr/src/googletest), cross-built.
# Everything lands under DEPS (default: build/windows/deps), as a prefix for CMake.
#
# usage: scripts/cross-deps.sh [DEPS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=$(mkdir -p "${1:-$root/build/windows/deps}" && cd "${1:-$root/build/windows/deps}" && pwd)
prefix=$deps/prefix
toolchain=$root/cmake/toolchain-mingw64.cmake
jobs=${QVBOOK_JOBS:-2}

log() { echo "cross-deps: $*"; }

install_packages() {
  local packages=(g++-mingw-w64-x86-64-posix wine64 dpkg-dev tcl cmake make googletest)
  local missing=()
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  local sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The archive and suite the machine installs from, for a matching deb-src line.
debian_archive() {
  local uri="" suite=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
    suite=$(awk '/^Suites:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    read -r uri suite < <(awk '$1 == "deb" {for (i = 2; i <= NF; i++) if ($i !~ /^\[/) {print $i, $(i+1); exit}}' /etc/apt/sources.list)
  fi
  [ -n "$suite" ] || suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "${uri:-http://deb.debian.org/debian} $suite"
}

fetch_sqlite_source() {
  local work=$deps/sqlite
  [ -d "$work/src" ] && return 0
  log "fetching Debian's sqlite3 source package"
  mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
  local uri suite
  read -r uri suite < <(debian_archive)
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main" \
    > "$work/apt/sources.list"
  local apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
                     -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
                     -o "APT::Sandbox::User=root")
  apt-get -qq "${apt_private[@]}" update
  (cd "$work" && apt-get -qq "${apt_private[@]}" source --download-only sqlite3)
  rm -rf "$work/src.partial"
  dpkg-source --no-check -x "$(ls "$work"/sqlite3_*.dsc | head -n1)" "$work/src.partial" >/dev/null
  mv "$work/src.partial" "$work/src"
}

build_sqlite() {
  [ -f "$prefix/lib/libsqlite3.a" ] && [ -f "$prefix/include/sqlite3.h" ] && return 0
  fetch_sqlite_source
  local work=$deps/sqlite
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

install_packages
build_sqlite
build_googletest
log "ready in $prefix"
