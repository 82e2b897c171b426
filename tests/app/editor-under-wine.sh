#!/usr/bin/env bash
# qvbook.exe under Wine on a virtual X display, driven as a user drives it (run inside
# xvfb-run, with WINEPREFIX set):
#   - started with a phonebook file, its list switched to kana order through 表示 >
#     五十音順表示 (Alt+V, K); the kana tabs must appear, and the screenshot's list must
#     show Japanese text, neither blank nor tofu (see list_shows_kanji);
#   - a second qvbook.exe must show the 二重起動 message and end after its OK;
#   - the first is ended through ファイル > アプリケーションの終了 (Alt+F, X) and must
#     exit with status 0.
# usage: editor-under-wine.sh QVBOOK_EXE PHONEBOOK SCREENSHOT
set -euo pipefail
qvbook_exe=$1 phonebook=$2 shot=$3
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
work=$(mktemp -d)
editor= second=
trap 'for p in $second $editor; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

fail() { echo "editor-under-wine: $*" >&2; exit 1; }

# Starts qvbook.exe with ARGUMENTS and waits for a window named TITLE; sets started (its
# process) and window. Wine on a busy machine now and then never starts a program: one
# that ended before showing any window is started once more.
start_qvbook() {
  local title=$1
  shift
  for attempt in 1 2; do
    "$wine" "$qvbook_exe" "$@" >/dev/null 2>&1 &
    started=$!
    for _ in $(seq 120); do
      window=$(xdotool search --name "$title" 2>/dev/null | head -n 1) || true
      [ -n "$window" ] && return 0
      kill -0 "$started" 2>/dev/null || break
      sleep 1
    done
    kill -0 "$started" 2>/dev/null && fail "no window named $title within 120 s"
    [ "$attempt" = 1 ] && echo "editor-under-wine: qvbook.exe ended before its window; running it once more" >&2
  done
  fail "qvbook.exe ended twice before showing a window named $title"
}

# Waits up to 60 s for process PID to end; its exit status in ended_with.
wait_for_end() {
  for _ in $(seq 60); do
    kill -0 "$1" 2>/dev/null || break
    sleep 1
  done
  kill -0 "$1" 2>/dev/null && return 1
  ended_with=0
  wait "$1" || ended_with=$?
}

# Whether the list area of a screenshot shows kanji. The names are 山田 and a number, so
# every row holds two kanji: glyphs at least as tall as a line of digits and about as wide
# as tall. Drawn, 山 and 田 are two different shapes, each repeated on every row; as tofu
# they would be one shape (the same empty box), and a blank or unrendered list has no such
# glyphs at all. So: among the ink's connected components, at least two kanji-sized shapes
# (size and pixel count) that each appear on 10 rows or more, and no hollow box among them.
list_shows_kanji() {
  local image=$1 geometry=$2
  convert "$image" -crop "$geometry" +repage -colorspace gray -threshold 50% -negate \
      -define connected-components:verbose=true -connected-components 8 null: |
    awk '$NF ~ /gray\(255\)|white/ {
           split($2, box, /[x+]/); w = box[1]; h = box[2]; area = $4
           if (h >= 9 && h <= 30 && w * 10 >= h * 7 && w <= h * 2) {
             if (area == 2 * (w + h) - 4) hollow++
             shapes[w "x" h ":" area]++
           }
         }
         END {
           for (s in shapes) if (shapes[s] >= 10) repeated++
           printf "kanji-sized shapes on 10 rows or more: %d, hollow boxes: %d\n", repeated, hollow
           exit !(repeated >= 2 && hollow == 0)
         }'
}

start_qvbook "$(basename "$phonebook")" "Z:$phonebook"
editor=$started
main=$(xdotool search --name "Velmora-QV" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main")"  # X, Y, WIDTH, HEIGHT
xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT / 2))
sleep 3  # the list is painted after the window appears
# The kana tabs take the strip above the status bar in kana order.
tabs="$((WIDTH / 2))x24+$X+$((Y + HEIGHT - 45))"
import -window root "$work/number-order.png"
xdotool key --delay 300 alt+v k
convert "$work/number-order.png" -crop "$tabs" +repage "$work/tabs-before.png"
for _ in $(seq 30); do  # a busy machine paints late
  sleep 1
  import -window root "$shot"
  convert "$shot" -crop "$tabs" +repage "$work/tabs-after.png"
  changed=$(compare -metric AE "$work/tabs-before.png" "$work/tabs-after.png" null: 2>&1 || true)
  [ "${changed%% *}" -gt 50 ] 2>/dev/null && break
done
[ "${changed%% *}" -gt 50 ] 2>/dev/null || fail "the kana tabs did not appear after 表示 > 五十音順表示"
sleep 2  # then the list
import -window root "$shot"
# The list: below the menu, toolbar and column titles, above the tabs and status bar.
list_shows_kanji "$shot" "${WIDTH}x$((HEIGHT - 140))+$X+$((Y + 70))" ||
  fail "the list shows no Japanese text (blank or tofu): $shot"

# A second instance: its message, then it ends after OK.
start_qvbook "二重起動"
second=$started
xdotool mousemove --window "$window" 10 10
xdotool key Return
wait_for_end "$second" || fail "the second qvbook.exe did not end after OK on 二重起動"
second=
kill -0 "$editor" 2>/dev/null || fail "the first qvbook.exe ended with the second"
echo "editor-under-wine: the second qvbook.exe showed 二重起動 and ended with status $ended_with"

# Quitting through the menu.
xdotool mousemove --window "$main" $((WIDTH / 2)) $((HEIGHT / 2))
xdotool key --delay 300 alt+f x
wait_for_end "$editor" || fail "qvbook.exe did not end after ファイル > アプリケーションの終了"
editor=
[ "$ended_with" = 0 ] || fail "qvbook.exe ended with status $ended_with"
echo "editor-under-wine: qvbook.exe showed the list in kana order and quit through its menu with status 0"
