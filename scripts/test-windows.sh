#!/usr/bin/env bash
# Cross-builds the core, qvbook-cli.exe and the Windows tests with MinGW-w64, then runs the
# tests under Wine in a prefix inside the build folder. Incremental: the dependencies, the
# prefix and the build are kept under build/windows and only redone when missing.
#
# usage: scripts/test-windows.sh            (QVBOOK_BUILD_DIR moves build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${QVBOOK_BUILD_DIR:-$root/build}
windows=$build_root/windows
jobs=${QVBOOK_JOBS:-2}
started=$SECONDS

"$root/scripts/cross-deps.sh" "$windows/deps"

export WINEPREFIX=$windows/wineprefix WINEDEBUG=-all
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# One server for the whole run (-p: it stays until ended), ended however the run ends. A
# server that Wine starts by itself ends whenever no program runs; ended and started
# again between tests, it now and then drops a program that is just starting ("wine
# client error:0: recvmsg: Connection reset by peer"). The server needs the prefix
# folder: on a fresh checkout it is made first (else the server silently did not start).
trap '"$wineserver" -k 2>/dev/null || true' EXIT
mkdir -p "$WINEPREFIX"
"$wineserver" -p >/dev/null 2>&1 || true  # fails only when one is running already
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: creating the Wine prefix"
  "$root/scripts/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
fi

# The transfer tests compare with the Linux build and borrow its handset emulator.
linux_build_option=
if [ -x "$build_root/tools/handset/qvbook-handset" ] && [ -x "$build_root/src/cli/qvbook-cli" ]; then
  linux_build_option=-DQVBOOK_LINUX_BUILD=$build_root
else
  echo "test-windows: no Linux build in $build_root: the transfer tests are left out"
fi
cmake -S "$root" -B "$windows/cmake" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DQVBOOK_WINDOWS_DEPS="$windows/deps/prefix" -DQVBOOK_WINE_RUNNER="$root/scripts/wine-run.sh" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVBOOK_GUI=OFF -DQVBOOK_BENCH=OFF $linux_build_option >/dev/null
# Programs Wine failed to start are run once more by wine-run.sh, which notes each here.
retries=$windows/wine-retries.log
: >"$retries"
export QVBOOK_WINE_RETRY_LOG=$retries
cmake --build "$windows/cmake" -j"$jobs"
cp "$windows/cmake/src/cli/qvbook-cli.exe" "$windows/qvbook-cli.exe"

cd "$windows/cmake"
# Under Wine every file operation goes through the Wine server: the store's model test
# (a thousand sequences that open the store for each operation) takes 60 s alone and over
# 190 s on a busy two-core machine, so a test is given 600 s before it counts as hung.
status=0
ctest --output-on-failure -j"$jobs" --timeout 600 | grep -v "^ *Start " || status=$?
echo "test-windows: runs that Wine did not start, made once more: $(wc -l <"$retries")"
sed 's/^wine-run: /  /' "$retries"
echo "test-windows: done in $((SECONDS - started)) s; artefact $windows/qvbook-cli.exe"
exit "$status"
