#!/usr/bin/env bash
# Runs a Windows program under Wine, headless and quiet, in the prefix named by WINEPREFIX
# (scripts/test-windows.sh sets it to a folder inside the build folder).
# usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# One retry, for a program Wine never started: on a busy machine Wine now and then fails
# to start a program at all, with no output of the program's own. A run counts as never
# started when it failed and
#   - its output holds nothing but Wine's own start-up messages ("wine: ...",
#     "wineserver: ...", "err:...", "Application could not be started"); a crash report
#     is not one of them: that program ran;
#   - and, for a GoogleTest program, it never began its tests (the marker file GoogleTest
#     keeps while its tests run, TEST_PREMATURE_EXIT_FILE, is not left behind).
# Such a run is made once more, with a line on stderr and one appended to
# $QVBOOK_WINE_RETRY_LOG when set. A program that printed anything, or died in its tests,
# is never run again: its failure stands.
#
# With QVBOOK_WINE_TIMEOUT=SECONDS (the widget tests set it below CTest's own limit), a run
# that has not ended by then is stopped and its output so far shown, so that a hang says
# where it was. A QtTest program that had already printed its totals with no failure has
# finished its tests and hangs in Wine's process exit: that run counts as passed, with a
# line on stderr and in $QVBOOK_WINE_RETRY_LOG. Any other run that is stopped fails (124).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${QVBOOK_BUILD_DIR:-$root/build}/windows/wineprefix}
export WINEDEBUG=-all
# No offers to install Mono or Gecko, and no menu entries or file types of the host made
# from what the programs install (winemenubuilder writes them into the home folder).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY                # console programs need no window system
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)

# Wine starts its own background processes with the first program, and they inherit that
# program's output. Through a pipe that would keep the reader (CTest, test discovery)
# waiting until they end, so the program writes into files, passed on when it ends.
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
# Wine reads a path beginning with "/" on the current drive; "Z:" is the whole file system.
export TEST_PREMATURE_EXIT_FILE="Z:$output/tests-began"

run() {  # runs the program once; its status in $status, its output in $output
  status=0
  rm -f "$output/tests-began"
  local limit=()
  if [ -n "${QVBOOK_WINE_TIMEOUT:-}" ]; then limit=(timeout --kill-after=10 "$QVBOOK_WINE_TIMEOUT"); fi
  "${limit[@]}" "$wine" "$@" <"${QVBOOK_WINE_STDIN:-/dev/null}" >"$output/out" 2>"$output/err" || status=$?
}

note() {  # note TEXT: a line on stderr and in the retry log
  local line="wine-run: $(basename "$program") $*"
  echo "$line" >&2
  if [ -n "${QVBOOK_WINE_RETRY_LOG:-}" ]; then echo "$line" >>"$QVBOOK_WINE_RETRY_LOG"; fi
}
# QtTest's last lines: "Totals: N passed, 0 failed, ..." then "********* Finished testing of ...".
tests_finished_clean() {
  grep -Eq '^Totals: [0-9]+ passed, 0 failed' "$output/out" "$output/err" &&
    grep -q '^\*\*\*\*\*\*\*\*\* Finished testing of ' "$output/out" "$output/err"
}

wine_startup_messages='^((wine|wine64|wineserver|wine client error|preloader)[^:]*:|([0-9a-f]{4}:)?(err|fixme|warn):|Application could not be started|ShellExecuteEx failed|[[:space:]]*$)'
program_crash='Unhandled|exception|starting debugger|[Bb]acktrace'
never_started() {
  [ "$status" -ne 0 ] && [ ! -e "$output/tests-began" ] || return 1
  ! grep -Eqv "$wine_startup_messages" "$output/out" "$output/err" &&
    ! grep -Eq "$program_crash" "$output/out" "$output/err"
}

program=$1
run "$@"
if never_started; then
  why=$(cat "$output/err" "$output/out" | head -n 1)
  note "${2:+${*:2} }ended with status $status before printing anything${why:+ ($why)}: Wine did not start it; running it once more"
  run "$@"
fi
if [ -n "${QVBOOK_WINE_TIMEOUT:-}" ] && { [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; }; then
  if tests_finished_clean; then
    note "finished its tests without a failure but did not end within ${QVBOOK_WINE_TIMEOUT} s: Wine's exit hung; counted as passed"
    status=0
  else
    note "did not end within ${QVBOOK_WINE_TIMEOUT} s; its output so far follows"
    status=124
  fi
fi
cat "$output/out"
cat "$output/err" >&2
exit "$status"
