#!/usr/bin/env bash
# scripts/wine-run.sh runs a program once more only when Wine never started it, and stops
# one that hangs, passing it only when QtTest had printed clean totals. A stand-in for Wine
# (Wine cannot be made to fail at will) plays one behaviour of the plan per call.
set -uo pipefail
runner=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run.sh
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
printf '%s\n' '#!/usr/bin/env bash' 'n=$(($(cat "$WORK/calls" 2>/dev/null || echo 0) + 1)); echo $n >"$WORK/calls"' \
  'case $(sed -n "${n}p" "$WORK/plan") in' \
  '  startup) echo "wine client error:0: recvmsg: Connection reset by peer" >&2; exit 1 ;;' \
  '  silent) exit 3 ;;  fails) echo "[==========] Running 1 test"; exit 1 ;;' \
  '  crash) echo "wine: Unhandled page fault on read access to 0000000000000000" >&2; exit 5 ;;' \
  '  died) : >"${TEST_PREMATURE_EXIT_FILE#Z:}"; exit 3 ;;' \
  '  hangdone) printf "Totals: 3 passed, 0 failed, 0 skipped\r\n********* Finished testing of T *********\r\n"; exec sleep 30 ;;' \
  '  hangfailed) printf "Totals: 2 passed, 1 failed, 0 skipped\r\n********* Finished testing of T *********\r\n"; exec sleep 30 ;;' \
  '  hang) echo "PASS   : T::first()"; exec sleep 30 ;;  *) echo "[  PASSED  ] 1 test" ;; esac' >"$work/wine64"
chmod +x "$work/wine64"
failed=0
# behaviour per call; the status, calls and retries the runner must give
while read -r plan expected; do
  echo "${plan//,/$'\n'}" >"$work/plan" && rm -f "$work/calls" && : >"$work/retries"
  WORK=$work PATH=$work:$PATH QVBOOK_WINE_RETRY_LOG=$work/retries QVBOOK_WINE_TIMEOUT=2 "$runner" test.exe >/dev/null 2>&1
  got="$? $(cat "$work/calls") $(wc -l <"$work/retries")"
  [ "$got" = "$expected" ] || { failed=$((failed + 1)); echo "FAILED: $plan gave $got, not $expected"; }
done <<<'startup,ok 0 2 1
silent,ok 0 2 1
startup,startup 1 2 1
fails,ok 1 1 0
crash,ok 5 1 0
died,ok 3 1 0
hangdone 0 1 1
hangfailed 124 1 1
hang 124 1 1
ok 0 1 0'
echo "$((10 - failed)) passed, $failed failed" && [ "$failed" -eq 0 ]
