#!/usr/bin/env bash
# Cross-builds the editor qvbook.exe and its widget tests with the Qt for Windows of
# scripts/qt-windows.sh and runs them under Wine: the widget tests on the offscreen
# platform, the editor's download and upload compared with the Linux build's, the readings
# qvbook-cli.exe fills from the dictionary beside it compared with the Linux build's, the
# faults of tests/view/editor-faults-under-wine.sh; then the installer: the programs and two
# installers (this version and the next) signed with a throw-away certificate and checked,
# and, in a new Wine prefix on a virtual display, installed, started with a full
# phonebook (tests/app/editor-under-wine.sh, its screenshot left at
# build/windows/qvbook-screenshot.png), upgraded and removed
# (tests/packaging/installer-under-wine.sh). Needs the Linux build (scripts/test.sh) first.
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
install_missing_packages xvfb xauth x11-utils imagemagick xdotool binutils msitools openssl python3
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
start_wine_prefix "$windows/wineprefix"  # the manual is rendered under Wine
cmake --build "$build" -j"$jobs" --target qvbook qvbook-cli manual widget_tests

(cd "$build" && ctest -L widgets --output-on-failure -j"$jobs" --timeout 300 | grep -v "^ *Start ")
stop_wine_server

log "readings from the dictionary under Wine"
bash "$root/tests/cli/readings-match-linux.sh" "$build/src/cli/qvbook-cli.exe" "$linux_build" \
  "$root/tests/cli/data/readings-book.csv"

# Faults through the Windows backends: the port gone in mid-transfer, a read-only folder,
# a file held open by another program; each with the editor's message and nothing lost.
log "faults under Wine"
bash "$root/tests/view/editor-faults-under-wine.sh" "$build/tests/view/editor_transfer.exe" \
  "$build/tests/view/hold_file.exe" "$linux_build"

# The installer. The programs of this build, and an installer of this version and one of
# the next, are signed with a throw-away certificate (the programs from a PEM certificate
# and key, the installers from a PKCS#12 file and its password) and timestamped by a local
# timestamp server; every signature must check, and a program changed after signing must not.
installer=$windows/installer programs=$windows/installer/programs
mark=$SECONDS
. "$root/tests/packaging/throwaway-signing.sh"
trap 'stop_throwaway_signing; stop_wine_server' EXIT
start_throwaway_signing "$installer/signing"
stage_windows_programs "$build" "$programs"
version=$(windows_version "$build")
next=${version%.*}.$((${version##*.} + 1))
old_msi=$installer/qvbook-$version-windows-x64.msi new_msi=$installer/qvbook-$next-windows-x64.msi
QVBOOK_SIGN_CERT=$signing_dir/signer.pem QVBOOK_SIGN_KEY=$signing_dir/signer.key \
  "$root/scripts/sign-windows.sh" "$programs/qvbook.exe" "$programs/qvbook-cli.exe"
"$root/scripts/windows-msi.sh" "$programs" "$old_msi" "$version"
"$root/scripts/windows-msi.sh" "$programs" "$new_msi" "$next"
QVBOOK_SIGN_PKCS12=$signing_dir/signer.p12 QVBOOK_SIGN_PASSWORD=$(cat "$signing_dir/password") \
  "$root/scripts/sign-windows.sh" "$old_msi" "$new_msi"
stop_throwaway_signing
verify_throwaway_signature "$programs/qvbook.exe" "$programs/qvbook-cli.exe" "$old_msi" "$new_msi"
cp "$programs/qvbook-cli.exe" "$installer/changed.exe"
printf '\x90' | dd of="$installer/changed.exe" bs=1 seek=4096 conv=notrunc status=none
! verify_throwaway_signature "$installer/changed.exe" >/dev/null 2>&1 ||
  { log "a program changed after signing still verified"; exit 1; }
log "installers built, signed and verified in $((SECONDS - mark)) s"

# Then, in a new Wine prefix on a virtual X display: installed, the installed qvbook.exe
# started with a full phonebook and driven through its menus (the smoke run), upgraded,
# and removed. Wine takes the display from the first program of a wineserver, hence a new
# server inside the display's session.
mark=$SECONDS
phonebook=$windows/smoke/full.csv shot=$windows/qvbook-screenshot.png
mkdir -p "$windows/smoke"
"$linux_build/tests/write_full_phonebook" "$phonebook"
rm -f "$shot"
log "installing, starting with $(basename "$phonebook") (1000 entries), upgrading and removing under Wine"
xvfb-run -a -s "-screen 0 1280x800x24" \
  bash -c "$(declare -f wine_server stop_wine_server)
           export WINEPREFIX='$installer/wineprefix'
           trap stop_wine_server EXIT
           bash '$root/tests/packaging/installer-under-wine.sh' '$installer' '$old_msi' '$new_msi' '$phonebook' '$shot'"
rm -rf "$installer/wineprefix"  # a whole Wine prefix, some 700 MB
log "installer under Wine in $((SECONDS - mark)) s"
log "done in $((SECONDS - started)) s; screenshot $shot"
