#!/usr/bin/env bash
# Runs a Windows program under Wine, headless and quiet, in the prefix named by WINEPREFIX
# (scripts/test-windows.sh sets it to a folder inside the build folder).
# usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${QVBOOK_BUILD_DIR:-$root/build}/windows/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offers to install Mono or Gecko
unset DISPLAY WAYLAND_DISPLAY                # console programs need no window system
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)

# Wine starts its own background processes with the first program, and they inherit that
# program's output. Through a pipe that would keep the reader (CTest, test discovery)
# waiting until they end, so the program writes into files, passed on when it ends.
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
status=0
"$wine" "$@" <"${QVBOOK_WINE_STDIN:-/dev/null}" >"$output/out" 2>"$output/err" || status=$?
cat "$output/out"
cat "$output/err" >&2
exit "$status"
