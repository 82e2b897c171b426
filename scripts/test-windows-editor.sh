#!/usr/bin/env bash
# Cross-builds the editor qvbook.exe and its widget tests with the Qt for Windows of
# scripts/qt-windows.sh and runs them under Wine: the widget tests on the offscreen
# platform, the editor's download and upload compared with the Linux build's, the readings
# qvbook-cli.exe fills from the dictionary beside it compared with the Linux build's, the faults
# of tests/view/editor-faults-under-wine.sh, then qvbook.exe itself on a virtual display
# (tests/app/editor-under-wine.sh); its screenshot is left at
# build/windows/qvbook-screenshot.png. Needs the Linux build (scripts/test.sh) first.
#
# Without the cached Qt it says so in one line and stops (status 0), unless --build-qt
# asks for Qt to be built first (once per machine, about 25 minutes on two idle cores).
#
# usage: scripts/test-windows-editor.sh [--build-qt]     (QVBOOK_BUILD_DIR moves build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS
. "$root/scripts/lib/apt-install.sh"
. "$root/scripts/lib/wine-prefix.sh"
. "$root/scripts/lib/windows-editor.sh"
build=$windows/editor

log() { echo "test-windows-editor: $*"; }

if ! find_qt_for_windows "$@"; then
  log "skipped: no Qt for Windows in $qt_prefix; build it once per machine (about" \
      "25 minutes on two idle cores) with: scripts/test-windows-editor.sh --build-qt"
  exit 0
fi
install_missing_packages xvfb xauth x11-utils imagemagick xdotool
# The transfers compare with the Linux build and borrow its handset emulator; the smoke run
# opens a full phonebook that the Linux build writes.
linux_build=${QVBOOK_BUILD_DIR:-$root/build}
for program in tools/handset/qvbook-handset src/cli/qvbook-cli tests/write_full_phonebook; do
  if [ ! -x "$linux_build/$program" ]; then
    log "no $program in $linux_build: build for Linux first (scripts/test.sh)"
    exit 1
  fi
done
configure_windows_editor "$build" -DCMAKE_BUILD_TYPE=Release -DQVBOOK_TESTS=ON \
  -DQVBOOK_LINUX_BUILD="$linux_build"
cmake --build "$build" -j"$jobs" --target qvbook qvbook-cli widget_tests

start_wine_prefix "$windows/wineprefix"
(cd "$build" && ctest -L widgets --output-on-failure -j"$jobs" --timeout 300 | grep -v "^ *Start ")
stop_wine_server

# Faults through the Windows backends: the port gone in mid-transfer, a read-only folder,
# a file held open by another program; each with the editor's message and nothing lost.
log "readings from the dictionary under Wine"
bash "$root/tests/cli/readings-match-linux.sh" "$build/src/cli/qvbook-cli.exe" "$linux_build" \
  "$root/tests/cli/data/readings-book.csv"

log "faults under Wine"
bash "$root/tests/view/editor-faults-under-wine.sh" "$build/tests/view/editor_transfer.exe" \
  "$build/tests/view/hold_file.exe" "$linux_build"

# The smoke run: qvbook.exe with a full phonebook on a virtual X display, driven through
# its menus (tests/app/editor-under-wine.sh). Wine takes the display from the first
# program of a wineserver, hence a new server inside the display's session.
mkdir -p "$windows/smoke"
phonebook=$windows/smoke/full.csv shot=$windows/qvbook-screenshot.png
"$linux_build/tests/write_full_phonebook" "$phonebook"
rm -f "$shot"
log "starting qvbook.exe with $(basename "$phonebook") (1000 entries) on a virtual display"
WINEDLLOVERRIDES="mscoree,mshtml=" xvfb-run -a -s "-screen 0 1280x800x24" \
  bash -c "$(declare -f wine_server stop_wine_server)
           trap stop_wine_server EXIT
           bash '$root/tests/app/editor-under-wine.sh' '$build/src/app/qvbook.exe' '$phonebook' '$shot'"
log "done in $((SECONDS - started)) s; screenshot $shot"
