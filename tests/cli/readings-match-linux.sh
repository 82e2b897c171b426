#!/usr/bin/env bash
# qvbook-cli.exe under Wine, reading its dictionary from the "dic" folder beside it, must
# fill the same readings as the Linux build: the same table and the same phonebook file,
# byte for byte.
# usage: readings-match-linux.sh WINDOWS_CLI LINUX_BUILD BOOK
set -euo pipefail
windows_cli=$1 linux_build=$2 book=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$linux_build/src/cli/qvbook-cli" readings --all "$book" "$work/linux.csv" >"$work/linux.txt"
"$root/scripts/wine-run.sh" "$windows_cli" readings --all "$book" "$work/windows.csv" >"$work/windows.txt"
if ! cmp -s "$work/linux.txt" "$work/windows.txt" || ! cmp -s "$work/linux.csv" "$work/windows.csv"; then
  echo "FAILED: qvbook-cli.exe readings differs from the Linux build's:"
  diff "$work/linux.txt" "$work/windows.txt" || true
  exit 1
fi
echo "qvbook-cli.exe readings under Wine: the same $(($(wc -l <"$work/linux.txt") - 1)) readings as the Linux build"
cat "$work/windows.txt"
