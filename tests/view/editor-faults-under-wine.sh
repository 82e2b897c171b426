#!/usr/bin/env bash
# Faults met by the editor's own commands under Wine (editor_transfer.exe, through the
# Windows serial and file backends). Each must end in the editor's message, with the
# failure's status, leaving the files as they were:
#   - the port goes away in mid-transfer: the emulator closes its pseudo-terminal after a
#     few blocks of a download and of an upload. (Removing the port's link in the prefix's
#     dosdevices folder does not do it: Wine keeps the port it opened, as Windows keeps an
#     open handle, and the transfer ends well.)
#   - the download saved into a read-only folder;
#   - the download saved over a file another program holds open without sharing.
# Root writes into read-only folders, so the checks run without that permission override
# (setpriv), with a wineserver of their own started that way.
# usage: editor-faults-under-wine.sh EDITOR_TRANSFER HOLD_FILE LINUX_BUILD   (WINEPREFIX set)
set -euo pipefail
if [ "$(id -u)" = 0 ] && [ -z "${QVBOOK_WITHOUT_OVERRIDE:-}" ]; then
  exec setpriv --bounding-set -dac_override,-dac_read_search,-fowner \
    env QVBOOK_WITHOUT_OVERRIDE=1 bash "$0" "$@"
fi
editor=$1 hold_file=$2 linux_build=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
handset=$linux_build/tools/handset/qvbook-handset
wine_run=$root/scripts/wine-run.sh
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/opentype/ipafont-gothic
work=$(mktemp -d)
trap '"$wineserver" -k >/dev/null 2>&1; chmod -R u+w "$work"; rm -rf "$work"' EXIT
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
"$wineserver" -p 60 >/dev/null 2>&1

fail() { echo "FAILED: $*"; exit 1; }

"$linux_build/tests/write_full_phonebook" "$work/book.csv"
"$linux_build/src/cli/qvbook-cli" convert "$work/book.csv" "$work/held.bin"
printf '0001,previous,,1,,,1\r\n' >"$work/target.csv"
mkdir "$work/read-only"
cp "$work/target.csv" "$work/read-only/target.csv"
chmod 555 "$work/read-only"

# expect_fault NAME MESSAGE KEPT-FILE COMMAND...: the command fails with status 1 and the
# message, and KEPT-FILE is byte for byte as it was.
expect_fault() {
  local name=$1 message=$2 kept=$3 status=0
  shift 3
  cp "$kept" "$work/before"
  "$@" >"$work/output" 2>&1 || status=$?
  [ "$status" = 1 ] || fail "$name: status $status: $(cat "$work/output")"
  grep -qF "$message" "$work/output" || fail "$name: no message \"$message\": $(cat "$work/output")"
  cmp -s "$kept" "$work/before" || fail "$name: $kept changed"
  echo "$name: $(grep -F "$message" "$work/output" | head -n 1); $(basename "$kept") kept"
}
on_com9() { "$root/tests/comm/with-handset.sh" "$handset" COM9 "$@"; }
transfer=("$wine_run" "$editor")

expect_fault "port gone in a download" "端末応答エラー" "$work/target.csv" \
  on_com9 --image "$work/held.bin" --hang-up-after 3 -- "${transfer[@]}" download --port COM9 "Z:$work/target.csv"
expect_fault "port gone in an upload" "端末応答エラー" "$work/book.csv" \
  on_com9 --save "$work/uploaded.bin" --hang-up-after 3 -- "${transfer[@]}" upload --no-backup --port COM9 "Z:$work/book.csv"
[ ! -e "$work/uploaded.bin" ] || fail "the handset kept a broken upload"
# With the handset's phonebook backed up first (in the Windows user's data folder): the
# failure in the upload's own session names that backup.
expect_fault "port gone in an upload after its backup" "バックアップ「" "$work/book.csv" \
  on_com9 --image "$work/held.bin" --block-size 4096 --save "$work/uploaded.bin" --hang-up-after 40 -- \
  "${transfer[@]}" upload --port COM9 "Z:$work/book.csv"
[ ! -e "$work/uploaded.bin" ] || fail "the handset kept a broken upload"

shared_refusal="は使用中または読み取り専用のため、書き込めません。"
expect_fault "saved into a read-only folder" "$shared_refusal" "$work/read-only/target.csv" \
  on_com9 --image "$work/held.bin" -- "${transfer[@]}" download --port COM9 "Z:$work/read-only/target.csv"

"$wine_run" "$hold_file" "Z:$work/target.csv" "Z:$work/held" &
holder=$!
for _ in $(seq 60); do [ -e "$work/held" ] && break; sleep 1; done
[ -e "$work/held" ] || fail "hold_file did not open the file"
expect_fault "saved over a file held open without sharing" "$shared_refusal" "$work/target.csv" \
  on_com9 --image "$work/held.bin" -- "${transfer[@]}" download --port COM9 "Z:$work/target.csv"
rm "$work/held"
wait "$holder" || fail "hold_file ended with status $?"
echo "4 passed, 0 failed"
