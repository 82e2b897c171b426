#!/usr/bin/env bash
# Builds MeCab's library for Windows from Debian's own mecab source package (the version
# of the installed libmecab-dev), static, with MinGW-w64 (posix threads), for the reading
# suggester of qvbook.exe and qvbook-cli.exe. The library sources are those its
# Makefile.am lists, compiled with the definitions of its own Windows makefile and the one
# its configure script finds for 64-bit systems (unsigned long long, which size_t is on
# 64-bit Windows).
#
# The result is kept outside the checkout, once per machine, in
#   ${XDG_CACHE_HOME:-~/.cache}/qvbook/mecab-<Debian version>-<hash of the options>
# (lib/libmecab.a, include/mecab.h), and everything is skipped when that is complete.
#
# usage: scripts/mecab-windows.sh            build when missing; prints the prefix last
#        scripts/mecab-windows.sh --where    prints the prefix; exit 1 when it is not built
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/apt-install.sh"
. "$root/scripts/lib/debian-source.sh"
. "$root/scripts/lib/cached-build.sh"

log() { echo "mecab-windows: $*" >&2; }

defines=(-DMECAB_USE_THREAD -DDLL_EXPORT -DHAVE_GETENV -DHAVE_WINDOWS_H -DHAVE_STDINT_H
         -DHAVE_SYS_TYPES_H -DHAVE_SYS_STAT_H -DHAVE_FCNTL_H -DHAVE_STRING_H -DHAVE_UNSIGNED_LONG_LONG_INT
         -DDIC_VERSION=102
         '-DVERSION="0.996"' '-DPACKAGE="mecab"' -DUNICODE -D_UNICODE
         '-DMECAB_DEFAULT_RC="mecabrc"')
flags=(-O2 -std=gnu++14 -w)

if ! dpkg-query -W -f='${Status}' libmecab-dev 2>/dev/null | grep -q 'install ok installed'; then
  [ "${1:-}" = --where ] && { log "libmecab-dev is not installed"; exit 1; }
  install_missing_packages libmecab-dev >&2
fi
source_version=$(dpkg-query -W -f='${source:Version}' libmecab-dev)  # e.g. 0.996-14
key=$(printf '%s\n' "$source_version" "${defines[@]}" "${flags[@]}" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/qvbook
prefix=$cache/mecab-$source_version-$key
work=$prefix.work

# One build at a time: a second run waits here and then finds the build complete.
claim_cached_build "$prefix" "${1:-}"

install_missing_packages g++-mingw-w64-x86-64-posix dpkg-dev >&2
fetch_debian_source "mecab=$source_version" "$work" >&2 || true
if [ ! -d "$work/src/debian" ]; then
  # An archive that holds the upstream tarball but not Debian's packaging diff still
  # gives the library's source: apt checked the tarball against the archive's signed
  # index when it downloaded it.
  orig=$(ls "$work"/download/mecab_*.orig.tar.* 2>/dev/null | head -n1)
  [ -n "$orig" ] || { log "could not fetch Debian's mecab source"; exit 1; }
  log "the archive lacks Debian's packaging diff: building from its upstream tarball"
  rm -rf "$work/src" "$work/src.partial" && mkdir -p "$work/src.partial"
  tar -xf "$orig" -C "$work/src.partial" --strip-components=1
  mv "$work/src.partial" "$work/src"
fi

started=$SECONDS
sources=$(sed -n '/^libmecab_la_SOURCES/,/^[^ \t].*=/p' "$work/src/src/Makefile.am" |
          grep -o '[a-z_]*\.cpp' | sort -u)
objects=()
mkdir -p "$work/obj"
for source in $sources; do
  object=$work/obj/${source%.cpp}.o
  log "compiling $source"
  x86_64-w64-mingw32-g++-posix "${flags[@]}" "${defines[@]}" -I"$work/src/src" \
    -c "$work/src/src/$source" -o "$object"
  objects+=("$object")
done
rm -rf "$prefix" && mkdir -p "$prefix/lib" "$prefix/include"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libmecab.a" "${objects[@]}"
cp "$work/src/src/mecab.h" "$prefix/include/"
cp "$work/src/COPYING" "$work/src/BSD" "$prefix/" 2>/dev/null || true
touch "$prefix/.complete"
rm -rf "$work"
log "built in $((SECONDS - started)) s"
echo "$prefix"
