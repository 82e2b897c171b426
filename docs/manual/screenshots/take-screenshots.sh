#!/usr/bin/env bash
# Takes the manual's screenshots from the real editor on a virtual X display and writes
# them into docs/manual/images. Needs a build (./build or $QVBOOK_BUILD_DIR), Xvfb,
# openbox (window frames), xdotool and ImageMagick's import.
#   docs/manual/screenshots/take-screenshots.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=${QVBOOK_BUILD_DIR:-$root/build}
images=$root/docs/manual/images
work=$(mktemp -d)
display=:${QVBOOK_SHOT_DISPLAY:-77}
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

iconv -f UTF-8 -t CP932 "$here/sample.txt" > "$work/電話帳.csv"
"$build/src/cli/qvbook-cli" convert "$work/電話帳.csv" "$work/pdata.bin"
# The handset's phonebook before the upload's preview: two entries differ, one more.
sed -e 's/^0005,\(.*\),09055556666,/0005,\1,09055550000,/' -e 's/^0009,中村 美咲/0009,中村 美咲子/' \
    "$here/sample.txt" > "$work/handset.txt"
echo '0017,古い 番号,ﾌﾙｲ ﾊﾞﾝｺﾞｳ,0300000000,,,1' >> "$work/handset.txt"
iconv -f UTF-8 -t CP932 "$work/handset.txt" > "$work/handset.csv"
"$build/src/cli/qvbook-cli" convert "$work/handset.csv" "$work/handset.bin"
# The editor's settings and the handset's backups stay in the work folder.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

Xvfb "$display" -screen 0 1200x800x24 -nolisten tcp & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox & pids+=($!)
sleep 1

# The handset: it stops answering after a few blocks, so the progress dialog stays up.
"$build/tools/handset/qvbook-handset" --image "$work/pdata.bin" --block-size 2000 \
    --silent-after 30 --link "$work/port" > "$work/handset.out" 2> "$work/handset.log" & pids+=($!)
silent_handset=$!
for _ in $(seq 50); do [ -e "$work/port" ] && break; sleep 0.1; done

export QVBOOK_PORT=$work/port
(cd "$work" && exec "$build/src/app/qvbook" "$work/電話帳.csv") & pids+=($!)
editor=$(xdotool search --sync --onlyvisible --name 'Velmora-QV' | head -n 1)
xdotool windowsize "$editor" 940 560 windowmove "$editor" 20 20
sleep 1.5

shot() {  # shot NAME: the active window with its frame
  sleep 0.8
  import -window "$(xdotool getactivewindow)" -frame "$images/$1.png"
  echo "wrote $images/$1.png"
}

xdotool windowactivate --sync "$editor"
shot main-number

xdotool key --clearmodifiers alt+v k
shot main-kana
xdotool key --clearmodifiers alt+v n
sleep 0.5

# The edit dialog on the eighth entry.
xdotool key --clearmodifiers Home Down Down Down Down Down Down Down Return
shot entry-dialog
xdotool key --clearmodifiers Escape
sleep 0.5

# A download into the open phonebook, caught in progress.
xdotool windowactivate --sync "$editor"
xdotool key --clearmodifiers alt+c d
progress=$(timeout ${QVBOOK_SHOT_WAIT:-90} xdotool search --sync --onlyvisible --name 'ダウンロード中' | head -n 1)
xdotool windowactivate --sync "$progress"
shot progress
xdotool key --clearmodifiers Escape
sleep 1

# An upload: the handset's phonebook is backed up, then the preview of the changes.
aborted=$(timeout 30 xdotool search --sync --onlyvisible --name 'ダウンロード中断' | head -n 1)
xdotool windowactivate --sync "$aborted" key --clearmodifiers Return
kill "$silent_handset"; wait "$silent_handset" 2>/dev/null || true
"$build/tools/handset/qvbook-handset" --image "$work/handset.bin" --block-size 4096 \
    --link "$work/port" > "$work/handset.out" 2> "$work/handset.log" & pids+=($!)
for _ in $(seq 50); do [ -e "$work/port" ] && break; sleep 0.1; done
xdotool windowactivate --sync "$editor"
xdotool key --clearmodifiers alt+c u
preview=$(timeout ${QVBOOK_SHOT_WAIT:-90} xdotool search --sync --onlyvisible --name 'アップロードの確認' | head -n 1)
xdotool windowactivate --sync "$preview"
shot upload-preview
xdotool key --clearmodifiers Escape
sleep 1

# The list of backups: the one just taken.
xdotool windowactivate --sync "$editor"
xdotool key --clearmodifiers alt+c r
restore=$(timeout 30 xdotool search --sync --onlyvisible --name 'バックアップから復元' | head -n 1)
xdotool windowactivate --sync "$restore"
shot restore-backup
xdotool key --clearmodifiers Escape
sleep 0.5
