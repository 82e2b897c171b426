#!/usr/bin/env bash
# A download and an upload by qvbook-cli.exe under Wine, through a COM port mapped onto the
# handset emulator, must give the same bytes as the same transfers by the Linux build.
# WINDOWS_CLI may also be the editor's editor_transfer.exe, which takes the same
# "download|upload --port PORT FILE" and runs the transfer through the editor's commands.
# usage: transfer-matches-linux.sh WINDOWS_CLI LINUX_BUILD DOCUMENT
set -euo pipefail
windows_cli=$1 linux_build=$2 document=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
linux_cli=$linux_build/src/cli/qvbook-cli
handset=$linux_build/tools/handset/qvbook-handset
with_handset=$root/tests/comm/with-handset.sh
wine_run=$root/scripts/wine-run.sh
port=COM9
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAILED: $*"; exit 1; }

# on_windows|on_linux EMULATOR-OPTIONS... -- CLI-ARGUMENTS...: one CLI run while the
# emulator answers, on Windows through COM9 of the Wine prefix, on Linux through a link.
on_windows() {
  "$with_handset" "$handset" "$port" "$@"
}
on_linux() {
  local options=()
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
  "$handset" "${options[@]}" --link "$work/tty" >"$work/linux-handset.out" 2>/dev/null &
  local emulator=$! status=0
  for _ in $(seq 50); do [ -s "$work/linux-handset.out" ] && break; sleep 0.1; done
  "$linux_cli" "$@" || status=$?
  kill "$emulator"; wait "$emulator" 2>/dev/null || true
  return "$status"
}

"$linux_cli" convert "$document" "$work/held.bin"
"$linux_cli" convert "$work/held.bin" "$work/held.csv"

# Download: the handset holds held.bin.
on_windows --image "$work/held.bin" -- "$wine_run" "$windows_cli" download --port "$port" "Z:$work/windows.csv" \
  || fail "download under Wine"
on_linux --image "$work/held.bin" -- download --port "$work/tty" "$work/linux.csv" || fail "download on Linux"
cmp "$work/windows.csv" "$work/linux.csv" || fail "the downloads differ"
cmp "$work/windows.csv" "$work/held.csv" || fail "the download is not the handset's phonebook"
echo "download: same $(stat -c %s "$work/windows.csv") bytes on Windows and Linux"

# Upload: the handset saves what it receives.
on_windows --save "$work/windows-up.bin" -- "$wine_run" "$windows_cli" upload --no-backup --port "$port" "Z:$document" \
  || fail "upload under Wine"
on_linux --save "$work/linux-up.bin" -- upload --no-backup --port "$work/tty" "$document" || fail "upload on Linux"
cmp "$work/windows-up.bin" "$work/linux-up.bin" || fail "the uploads differ"
cmp "$work/windows-up.bin" "$work/held.bin" || fail "the upload is not the document's image"
echo "upload: same $(stat -c %s "$work/windows-up.bin") bytes on Windows and Linux"
echo "1 passed, 0 failed"
