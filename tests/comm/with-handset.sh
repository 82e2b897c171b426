#!/usr/bin/env bash
# Runs a command while the handset emulator answers on a COM port of the Wine prefix: the
# emulator's pseudo-terminal gets a link in the prefix's dosdevices folder, and the port's
# name is passed on in QVBOOK_HANDSET_PORT.
# usage: WINEPREFIX=... with-handset.sh HANDSET PORT [EMULATOR OPTIONS...] -- COMMAND...
set -euo pipefail
handset=$1 port=$2 prefix=${WINEPREFIX:?the Wine prefix}
shift 2
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
shift
link=$prefix/dosdevices/$(echo "$port" | tr '[:upper:]' '[:lower:]')
fifo=$(mktemp -u) && mkfifo "$fifo"
"$handset" --link "$link" "${options[@]}" >"$fifo" 2>/dev/null &
emulator=$!
trap 'kill "$emulator" 2>/dev/null; wait "$emulator" 2>/dev/null; rm -f "$fifo" "$link"' EXIT
exec 3<"$fifo"
read -r device <&3 || { echo "with-handset: the emulator did not start" >&2; exit 1; }
export QVBOOK_HANDSET_PORT=$port
"$@"
