#!/usr/bin/env bash
# How long an upload takes with the handset's phonebook backed up and the changes shown
# first, beside a plain upload and a download, with qvbook-cli against the emulator at
# the handset's real pacing. The handset holds a full phonebook of 1000 entries and the
# upload is another full one, so every entry shows as changed (the most the preview
# prints). Each command runs RUNS times (default 3); the medians are printed, with
#   own work = upload with backup - (download + plain upload)
# which must stay within 1 s, and the ratio of the upload with backup to download + plain.
#   bench/upload_backup_time.sh [BUILD] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
cli=$build/src/cli/qvbook-cli
work=$(mktemp -d /tmp/qvbook-upload-time.XXXXXX)
handset_pid=
cleanup() {
  [ -z "$handset_pid" ] || kill "$handset_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data  # the backups stay here

"$build/tests/write_full_phonebook" "$work/handset.csv"
"$cli" convert "$work/handset.csv" "$work/handset.bin" >/dev/null
# Another full phonebook: every name one character longer.
sed 's/^\([0-9]*\),\([^,]*\),/\1,\2X,/' "$work/handset.csv" > "$work/upload.csv"

# The handset keeps its first phonebook: each upload is saved elsewhere.
"$build/tools/handset/qvbook-handset" --image "$work/handset.bin" --save "$work/saved.bin" \
    --link "$work/tty" >/dev/null 2>&1 &
handset_pid=$!
for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done

seconds() {  # seconds COMMAND...: the wall time of one run, which must succeed
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

for _ in $(seq "$runs"); do
  seconds "$cli" download --port "$work/tty" "$work/back.csv" >> "$work/download"
  seconds "$cli" upload --no-backup --port "$work/tty" "$work/upload.csv" >> "$work/plain"
  seconds "$cli" upload --yes --port "$work/tty" "$work/upload.csv" >> "$work/guarded"
done
download=$(median < "$work/download")
plain=$(median < "$work/plain")
guarded=$(median < "$work/guarded")
own=$(awk -v g="$guarded" -v d="$download" -v p="$plain" 'BEGIN { printf "%.3f", g - d - p }')
ratio=$(awk -v g="$guarded" -v d="$download" -v p="$plain" 'BEGIN { printf "%.3f", g / (d + p) }')
printf 'download %.2f s, plain upload %.2f s, upload with backup and preview %.2f s (medians of %d)\n' \
  "$download" "$plain" "$guarded" "$runs"
printf 'own work %.2f s (at most 1 s), ratio %.3f of download + plain upload\n' "$own" "$ratio"
awk -v own="$own" 'BEGIN { exit !(own <= 1.0) }' || { echo "FAILED: more than 1 s of own work"; exit 1; }
